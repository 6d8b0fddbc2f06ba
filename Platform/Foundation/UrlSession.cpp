#include "Platform/Foundation/UrlSession.hpp"

#include <curl/curl.h>

#include "Platform/Foundation/UrlLoader.hpp"

namespace platform {

std::shared_ptr<UrlSession> UrlSession::shared() {
  // Never destroyed, like the loader thread that uses its share.
  static const auto* session = [] {
    UrlLoader::shared();  // initialises libcurl before the share is made
    CURLSH* share = curl_share_init();
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return new std::shared_ptr<UrlSession>(new UrlSession(share));
  }();
  return *session;
}

std::shared_ptr<UrlSession> UrlSession::makeEphemeral() {
  return std::shared_ptr<UrlSession>(new UrlSession(nullptr));
}

void UrlSession::dataTask(const UrlRequest& request, Completion completion, Delivery delivery) {
  UrlLoader::shared().add({request, share_, std::move(completion), delivery});
}

}  // namespace platform
