#include "Platform/System/NetworkPlatform.hpp"

#include <net/if_arp.h>

#include "Platform/System/LinkTable.hpp"
#include "Platform/System/RouteTable.hpp"
#include "Platform/System/WirelessRequests.hpp"
#include "Platform/System/WirelessStatus.hpp"

namespace platform {

namespace {

class LiveNetworkPlatform final : public NetworkPlatform {
 public:
  LiveNetworkPlatform(std::shared_ptr<const TextSource> source, std::shared_ptr<const InterfaceList> list)
      : source_(std::move(source)), list_(std::move(list)) {}

  std::optional<std::vector<InterfaceEntry>> interfaces() const override { return list_->entries(); }

  std::optional<std::vector<SystemInterface>> systemInterfaces(bool withKinds) const override {
    auto links = readLinkTable();
    if (!links) return std::nullopt;
    std::optional<WirelessRequests> requests;
    if (withKinds) requests.emplace();
    std::vector<SystemInterface> result;
    result.reserve(links->size());
    for (auto& link : *links) {
      std::optional<std::string> typeText;
      if (requests) {
        bool wireless = link.hardwareType == ARPHRD_ETHER && isWireless(*requests, link.name);
        typeText = std::string(interfaceTypeText(link.hardwareType, wireless));
      }
      result.push_back({std::move(link.name), std::move(link.alias), std::move(typeText)});
    }
    return result;
  }

  std::optional<std::string> primaryInterface() const override { return readPrimaryInterface(*source_); }

  std::vector<WirelessInterface> wirelessInterfaces() const override {
    auto rows = readWirelessStatus(*source_);
    if (!rows || rows->empty()) return {};
    WirelessRequests requests;
    std::vector<WirelessInterface> result;
    for (auto& row : *rows) {
      auto rate = requests.transmitRate(row.name);
      auto networkName = requests.networkName(row.name);
      result.push_back(
          {std::move(row.name), row.noiseLevel, row.signalLevel, rate, std::move(networkName), std::nullopt});
    }
    return result;
  }

 private:
  // Drivers with the wireless-extension interface answer its name request; cfg80211 drivers built
  // without it still link their interfaces to a "phy80211" device in sysfs.
  bool isWireless(const WirelessRequests& requests, const std::string& name) const {
    return requests.isWireless(name) || source_->readLink("/sys/class/net/" + name + "/phy80211").has_value();
  }

  std::shared_ptr<const TextSource> source_;
  std::shared_ptr<const InterfaceList> list_;
};

}  // namespace

std::shared_ptr<const NetworkPlatform> NetworkPlatform::live(
    std::shared_ptr<const TextSource> source, std::shared_ptr<const InterfaceList> interfaces) {
  return std::make_shared<LiveNetworkPlatform>(std::move(source), std::move(interfaces));
}

}  // namespace platform
