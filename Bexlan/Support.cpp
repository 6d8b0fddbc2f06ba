#include "Bexlan/Support.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace Bexlan {

namespace {

bool openWithDesktop(const std::string& address) { return Support::launch("xdg-open", address); }

struct OpenerSlot {
  std::mutex mutex;
  Support::Opener opener = openWithDesktop;
};

OpenerSlot& openerSlot() {
  static OpenerSlot* const slot = new OpenerSlot;  // never destroyed: usable from static destructors
  return *slot;
}

Support::Opener currentOpener() {
  OpenerSlot& slot = openerSlot();
  std::lock_guard lock(slot.mutex);
  return slot.opener;
}

Support::Opener exchangeOpener(Support::Opener opener) {
  OpenerSlot& slot = openerSlot();
  std::lock_guard lock(slot.mutex);
  return std::exchange(slot.opener, std::move(opener));
}

}  // namespace

void Support::openContact() { currentOpener()(std::string(contactAddress)); }

void Support::openFAQ() { currentOpener()(std::string(faqAddress)); }

bool Support::launch(const std::string& program, const std::string& address) {
  std::string programArgument = program;
  std::string addressArgument = address;
  char* const arguments[] = {programArgument.data(), addressArgument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) return false;
  std::thread([child] {
    while (waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
    }
  }).detach();
  return true;
}

Support::OpenerOverride::OpenerOverride(Opener opener) {
  if (!opener) throw std::invalid_argument("Support::OpenerOverride: empty opener");
  previous_ = exchangeOpener(std::move(opener));
}

Support::OpenerOverride::~OpenerOverride() { exchangeOpener(std::move(previous_)); }

}  // namespace Bexlan
