#include "Platform/Foundation/FreedesktopNotificationCenter.hpp"

#include <gio/gio.h>

#include <memory>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Foundation/BuildInfo.hpp"

namespace platform {

namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* objectPath = "/org/freedesktop/Notifications";
constexpr int callTimeoutMs = 1000;

struct Unref {
  void operator()(GDBusConnection* connection) const { g_object_unref(connection); }
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};

NotificationError errorFrom(GError* error) {
  NotificationError result{g_quark_to_string(error->domain), error->code, error->message};
  g_error_free(error);
  return result;
}

// Calls `method` of the notification service on the bus; the reply, or the error of the connection or
// the call.
std::pair<std::unique_ptr<GVariant, Unref>, std::optional<NotificationError>> callService(
    const std::string& busAddress, const char* method, GVariant* parameters, const GVariantType* replyType) {
  GError* error = nullptr;
  std::unique_ptr<gchar, decltype(&g_free)> address(
      busAddress.empty() ? g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error)
                         : g_strdup(busAddress.c_str()),
      &g_free);
  if (!address) {
    if (parameters) g_variant_unref(g_variant_ref_sink(parameters));
    return {nullptr, errorFrom(error)};
  }
  std::unique_ptr<GDBusConnection, Unref> connection(g_dbus_connection_new_for_address_sync(
      address.get(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error));
  if (!connection) {
    if (parameters) g_variant_unref(g_variant_ref_sink(parameters));
    return {nullptr, errorFrom(error)};
  }
  std::unique_ptr<GVariant, Unref> reply(
      g_dbus_connection_call_sync(connection.get(), serviceName, objectPath, serviceName, method, parameters,
                                  replyType, G_DBUS_CALL_FLAGS_NONE, callTimeoutMs, nullptr, &error));
  if (!reply) return {nullptr, errorFrom(error)};
  return {std::move(reply), std::nullopt};
}

// D-Bus strings must be UTF-8: invalid sequences become U+FFFD.
std::string validUtf8(const std::string& text) {
  std::unique_ptr<gchar, decltype(&g_free)> valid(
      g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())), &g_free);
  return valid.get();
}

std::optional<NotificationError> askServer(const std::string& busAddress) {
  return callService(busAddress, "GetServerInformation", nullptr, G_VARIANT_TYPE("(ssss)")).second;
}

}  // namespace

FreedesktopNotificationCenter::FreedesktopNotificationCenter(std::string busAddress)
    : busAddress_(std::move(busAddress)) {}

void FreedesktopNotificationCenter::requestAuthorization(std::uint32_t, AuthorizationCompletion completion) {
  DispatchQueue::global().async([address = busAddress_, completion = std::move(completion)] {
    const std::optional<NotificationError> error = askServer(address);
    if (completion) completion(!error, error);
  });
}

void FreedesktopNotificationCenter::getNotificationSettings(SettingsCompletion completion) {
  DispatchQueue::global().async([address = busAddress_, completion = std::move(completion)] {
    NotificationSettings settings;
    if (!askServer(address)) settings = {AuthorizationStatus::authorized, AlertStyle::banner};
    if (completion) completion(settings);
  });
}

void FreedesktopNotificationCenter::add(NotificationRequest request, AddCompletion completion) {
  DispatchQueue::global().async(
      [address = busAddress_, request = std::move(request), completion = std::move(completion)] {
        const std::string title = validUtf8(request.title), body = validUtf8(request.body);
        GVariant* parameters = g_variant_new("(susssasa{sv}i)", buildinfo::productName, 0u, "", title.c_str(),
                                             body.c_str(), nullptr, nullptr, -1);
        const std::optional<NotificationError> error =
            callService(address, "Notify", parameters, G_VARIANT_TYPE("(u)")).second;
        if (completion) completion(error);
      });
}

}  // namespace platform
