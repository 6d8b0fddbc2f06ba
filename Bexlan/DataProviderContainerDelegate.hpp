#pragma once

namespace Bexlan {

// Told by a provider container after every refresh, once every provider has been refreshed and merged.
class DataProviderContainerDelegate {
 public:
  virtual ~DataProviderContainerDelegate() = default;

  // elapsed: the seconds handed to the providers in this refresh.
  virtual void containerDidRefresh(double elapsed) = 0;
};

}  // namespace Bexlan
