#pragma once

#include <net/if.h>
#include <net/if_arp.h>
#include <sys/socket.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Orvane/NetworkDelegate.hpp"
#include "Platform/System/NetworkPlatform.hpp"

namespace networktest {

// A system whose interfaces, routes and Wi-Fi facts the test sets, counting how often each is read.
class FakeNetworkPlatform final : public platform::NetworkPlatform {
 public:
  std::optional<std::vector<platform::InterfaceEntry>> interfaceList{std::in_place};
  std::optional<std::vector<platform::SystemInterface>> systemList{std::in_place};
  std::optional<std::string> primary;
  std::vector<platform::WirelessInterface> wireless;

  mutable int interfaceReads = 0, systemReads = 0, kindReads = 0, primaryReads = 0;

  std::optional<std::vector<platform::InterfaceEntry>> interfaces() const override {
    ++interfaceReads;
    return interfaceList;
  }
  // Kind texts only when asked for, as the live system gives them.
  std::optional<std::vector<platform::SystemInterface>> systemInterfaces(bool withKinds) const override {
    ++(withKinds ? kindReads : systemReads);
    auto list = systemList;
    if (list && !withKinds) {
      for (auto& interface : *list) interface.typeText.reset();
    }
    return list;
  }
  std::optional<std::string> primaryInterface() const override {
    ++primaryReads;
    return primary;
  }
  std::vector<platform::WirelessInterface> wirelessInterfaces() const override { return wireless; }

  // Appends the link entry of an interface; flags default to up.
  void addLink(const std::string& name, std::uint64_t received, std::uint64_t sent, unsigned flags = IFF_UP,
               std::uint16_t hardwareType = ARPHRD_ETHER) {
    interfaceList->push_back(
        {name, AF_PACKET, flags, hardwareType, platform::LinkCounters{received, sent}, std::nullopt});
  }
  void addAddress(const std::string& name, int family, const std::string& address) {
    interfaceList->push_back({name, family, IFF_UP, std::nullopt, std::nullopt, address});
  }
  void setCounters(const std::string& name, std::uint64_t received, std::uint64_t sent) {
    for (auto& entry : *interfaceList) {
      if (entry.name == name && entry.family == AF_PACKET)
        entry.counters = platform::LinkCounters{received, sent};
    }
  }
  // The kernel's index of the interface, as a new one gets when it is made anew under its name.
  void setIndex(const std::string& name, int index) {
    for (auto& entry : *interfaceList) entry.index = entry.name == name ? index : entry.index;
  }
  void removeInterface(const std::string& name) {
    std::erase_if(*interfaceList, [&](const platform::InterfaceEntry& entry) { return entry.name == name; });
  }
  void setFlags(const std::string& name, unsigned flags) {
    for (auto& entry : *interfaceList) entry.flags = entry.name == name ? flags : entry.flags;
  }
};

// Keeps every adapter the network monitor announces, in order.
class RecordingDelegate final : public Orvane::NetworkDelegate {
 public:
  void adapterChanged(const std::shared_ptr<Orvane::NetworkAdapter>& adapter) override {
    calls.push_back(adapter);
  }
  std::vector<std::shared_ptr<Orvane::NetworkAdapter>> calls;
};

}  // namespace networktest
