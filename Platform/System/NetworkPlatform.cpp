#include "Platform/System/NetworkPlatform.hpp"

#include <net/if_arp.h>

#include "Platform/System/LinkTable.hpp"
#include "Platform/System/Nl80211.hpp"
#include "Platform/System/RouteTable.hpp"

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
    std::vector<SystemInterface> result;
    result.reserve(links->size());
    for (auto& link : *links) {
      std::optional<std::string> typeText;
      if (withKinds) {
        bool wireless = link.hardwareType == ARPHRD_ETHER && isWireless(link.name);
        typeText = std::string(interfaceTypeText(link.hardwareType, wireless));
      }
      result.push_back({std::move(link.name), std::move(link.alias), std::move(typeText)});
    }
    return result;
  }

  // The list's link entries are the link table in its order, aliases included.
  InterfacesWithNames interfacesWithNames() const override {
    InterfacesWithNames reading{list_->entries(), std::nullopt};
    if (!reading.interfaces) return reading;
    reading.systemInterfaces.emplace();
    for (const InterfaceEntry& entry : *reading.interfaces) {
      if (entry.family != AF_PACKET) continue;
      reading.systemInterfaces->push_back({entry.name, entry.alias, std::nullopt});
    }
    return reading;
  }

  std::optional<std::string> primaryInterface() const override { return readPrimaryInterface(*source_); }

  std::vector<WirelessInterface> wirelessInterfaces() const override {
    // Without a wireless device there is nothing to ask nl80211 (and no socket to open at every refresh).
    const auto devices = source_->list("/sys/class/ieee80211");
    if (!devices || devices->empty()) return {};
    return nl80211::readInterfaces();
  }

 private:
  // Every interface of a wireless driver (cfg80211, which nl80211 serves) links to its "phy80211" device.
  bool isWireless(const std::string& name) const {
    return source_->readLink("/sys/class/net/" + name + "/phy80211").has_value();
  }

  std::shared_ptr<const TextSource> source_;
  std::shared_ptr<const InterfaceList> list_;
};

}  // namespace

NetworkPlatform::InterfacesWithNames NetworkPlatform::interfacesWithNames() const {
  InterfacesWithNames reading;
  reading.interfaces = interfaces();
  reading.systemInterfaces = systemInterfaces(false);
  return reading;
}

std::shared_ptr<const NetworkPlatform> NetworkPlatform::live(
    std::shared_ptr<const TextSource> source, std::shared_ptr<const InterfaceList> interfaces) {
  return std::make_shared<LiveNetworkPlatform>(std::move(source), std::move(interfaces));
}

}  // namespace platform
