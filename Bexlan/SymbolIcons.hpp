#pragma once

#include <string_view>

#include "Bexlan/Identifier.hpp"

namespace Bexlan {

// The icons that monitors give their entries, by symbol name ("cpu", "memorychip", ...). The store draws
// nothing: the image helpers (Images) install the drawer when a program links them, so a program that only
// reads values links no drawing library and its entries have no icons.
class SymbolIcons {
 public:
  SymbolIcons() = delete;

  using Drawer = Icon (*)(std::string_view name);

  // The drawn symbol; null when no drawer is installed.
  static Icon symbol(std::string_view name);
  static void setDrawer(Drawer drawer);
};

}  // namespace Bexlan
