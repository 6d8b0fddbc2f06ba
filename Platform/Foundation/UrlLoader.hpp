#pragma once

#include <curl/curl.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "Platform/Foundation/UrlSession.hpp"

namespace platform {

// The thread behind every UrlSession: it owns one libcurl multi handle, sets up and runs each transfer,
// aborts transfers that stay silent past their timeout and hands every answer to its handler once.
class UrlLoader {
 public:
  struct Task {
    UrlRequest request;
    CURLSH* share;  // the shared session's, or null
    UrlSession::Completion completion;
    UrlSession::Delivery delivery;
  };

  static UrlLoader& shared();
  void add(Task task);

 private:
  struct Transfer;

  UrlLoader();
  void run();
  void start(Task task);
  void finish(Transfer& transfer, CURLcode result);
  // Fails the transfers that stayed silent past their timeout; gives the milliseconds until the next one
  // could, at most one second.
  int abortSilentTransfers();

  std::mutex mutex_;
  std::deque<Task> pending_;
  CURLM* multi_;
  std::map<CURL*, std::unique_ptr<Transfer>> active_;
};

}  // namespace platform
