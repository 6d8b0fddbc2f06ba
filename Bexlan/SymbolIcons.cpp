#include "Bexlan/SymbolIcons.hpp"

#include <atomic>

namespace Bexlan {

namespace {

// Constant-initialised, so a drawer installed from another object's static initializer is never lost.
constinit std::atomic<SymbolIcons::Drawer> installedDrawer{nullptr};

}  // namespace

Icon SymbolIcons::symbol(std::string_view name) {
  const Drawer drawer = installedDrawer.load(std::memory_order_acquire);
  return drawer != nullptr ? drawer(name) : nullptr;
}

void SymbolIcons::setDrawer(Drawer drawer) { installedDrawer.store(drawer, std::memory_order_release); }

}  // namespace Bexlan
