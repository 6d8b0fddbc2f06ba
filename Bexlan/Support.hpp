#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Bexlan {

// Opens the maker's support pages in the user's default browser.
class Support {
 public:
  Support() = delete;

  // Hands a web address to the desktop; true when the opening could be started.
  using Opener = std::function<bool(const std::string& address)>;

  static constexpr std::string_view contactAddress = "http://www.tarnwick.com/contact";
  static constexpr std::string_view faqAddress = "http://www.tarnwick.com/faq";

  // Open the contact page and the page of frequently asked questions, through the current opener.
  static void openContact();
  static void openFAQ();

  // Starts `program address` without waiting for it; the finished child is reaped in the background, so
  // none is left behind as a zombie. False when the program cannot be started. The default opener is
  // launch("xdg-open", address), with xdg-open looked up in PATH.
  static bool launch(const std::string& program, const std::string& address);

  // Puts `opener` in place of the default one while it lives (for tests); overrides nest.
  class OpenerOverride {
   public:
    // Throws std::invalid_argument for an empty opener.
    explicit OpenerOverride(Opener opener);
    ~OpenerOverride();
    OpenerOverride(const OpenerOverride&) = delete;
    OpenerOverride& operator=(const OpenerOverride&) = delete;

   private:
    Opener previous_;
  };
};

}  // namespace Bexlan
