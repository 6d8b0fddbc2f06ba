#include <gio/gio.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"
#include "Bexlan/Notifications.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Foundation/FakeUserNotificationCenter.hpp"
#include "Platform/Foundation/FreedesktopNotificationCenter.hpp"

namespace {

using Bexlan::Notifications;
using platform::AlertStyle;
using platform::AuthorizationStatus;
using ::testing::ElementsAre;
using Result = Notifications::AuthorizationResult;
using Error = std::optional<platform::NotificationError>;
const std::optional<Error> sent(std::in_place);  // a send completion came, without an error

struct Receiver {
  std::vector<const void*> senders;
  void receive(const platform::Notification& notification) { senders.push_back(notification.object.get()); }
};

TEST(NotificationsCentreTest, NameAndSenderFiltersAndRemoval) {
  auto byName = std::make_shared<Receiver>(), bySender = std::make_shared<Receiver>();
  auto removed = std::make_shared<Receiver>(), destroyed = std::make_shared<Receiver>();
  auto sender = std::make_shared<int>(1), other = std::make_shared<int>(2);
  Notifications::addObserver(byName, &Receiver::receive, "nc.a");
  Notifications::addObserver(bySender, &Receiver::receive, platform::NotificationName("nc.a"), sender.get());
  Notifications::addObserver(removed, &Receiver::receive, platform::NotificationName("nc.a"));
  Notifications::addObserver(destroyed, &Receiver::receive, "nc.a");
  Notifications::removeObserver(removed.get(), "nc.a");
  destroyed.reset();  // with ASan, a call into it is reported
  Notifications::post("nc.a", other);
  Notifications::post("nc.a", sender);
  Notifications::post("nc.b");
  EXPECT_EQ(byName->senders, (std::vector<const void*>{other.get(), sender.get()}));
  EXPECT_EQ(bySender->senders, std::vector<const void*>{sender.get()});
  EXPECT_TRUE(removed->senders.empty());
}

// The value of a completion, which must come within two seconds off the main thread; absent when none came.
template <class T, class Start>
std::optional<T> await(Start start) {
  auto promise = std::make_shared<std::promise<std::pair<T, bool>>>();
  start([promise](T value) { promise->set_value({value, platform::isMainThread()}); });
  auto future = promise->get_future();
  if (future.wait_for(std::chrono::seconds(2)) != std::future_status::ready) return std::nullopt;
  auto [value, onMain] = future.get();
  EXPECT_FALSE(onMain);
  return value;
}
const auto authorize = [](auto done) { Notifications::requestAuthorization(done); };
const auto permission = [](auto done) { Notifications::checkPermission(done); };
const auto send = [](auto done) { Notifications::sendNotification("Disk full", "Data", done); };

TEST(NotificationsFakeTest, PermissionTableAuthorizationErrorsAndSendsOnlyWithPermissionUnderNewIdentifiers) {
  const auto fake = std::make_shared<platform::FakeUserNotificationCenter>();
  const platform::UserNotificationCenter::Override useFake(fake);
  const std::tuple<AuthorizationStatus, AlertStyle, bool> table[] = {
      {AuthorizationStatus::provisional, AlertStyle::banner, true},
      {AuthorizationStatus::authorized, AlertStyle::none, false},
      {AuthorizationStatus::denied, AlertStyle::banner, false}};
  for (const auto& [status, style, permitted] : table) {
    fake->setSettings({status, style});
    EXPECT_EQ(await<bool>(permission), permitted) << int(status) << " " << int(style);
  }
  const platform::NotificationError refused{"test.domain", 7, "refused"};
  fake->setAuthorizationAnswer(false, refused);
  EXPECT_EQ(await<Result>(authorize), Result(refused));
  fake->setSettings({AuthorizationStatus::denied, AlertStyle::banner});
  EXPECT_EQ(await<Error>(send), std::nullopt);  // no completion at all
  fake->setSettings({AuthorizationStatus::provisional, AlertStyle::banner});
  EXPECT_EQ(await<Error>(send), sent);
  EXPECT_EQ(await<Error>(send), sent);
  const auto uuid =
      testing::MatchesRegex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> identifiers;
  for (const auto& request : fake->delivered()) {
    EXPECT_THAT(request.identifier, uuid);
    EXPECT_TRUE(request.title == "Disk full" && request.body == "Data");
    identifiers.insert(request.identifier);
  }
  EXPECT_EQ(identifiers.size(), 2u);
}

// A dbus-daemon of the test's own with a minimal notification server on it: a connection that owns
// org.freedesktop.Notifications and answers from a message filter, keeping each Notify body as text.
class PrivateNotificationBus {
 public:
  PrivateNotificationBus() {
    daemon_ = ::popen(
        "dbus-daemon --session --nofork --print-address=1 --print-pid=1 --address=unix:tmpdir=/tmp "
        "2>/dev/null",
        "r");
    char address[512] = "", pid[32] = "";
    if (!daemon_ || !std::fgets(address, sizeof address, daemon_) || !std::fgets(pid, sizeof pid, daemon_))
      return;
    pid_ = std::atoi(pid);
    address_ = std::string(address, std::strcspn(address, "\n"));
    const auto flags = GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    server_ = g_dbus_connection_new_for_address_sync(address_.c_str(), flags, nullptr, nullptr, nullptr);
    if (!server_) return;
    g_dbus_connection_add_filter(server_, answer, this, nullptr);
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(
        server_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", "org.freedesktop.Notifications", 0u), nullptr, G_DBUS_CALL_FLAGS_NONE, 2000,
        nullptr, nullptr);
    serving_ = owned != nullptr;
  }
  ~PrivateNotificationBus() {
    if (server_) g_object_unref(server_);
    if (pid_ > 0) ::kill(pid_, SIGTERM);
    if (daemon_) ::pclose(daemon_);  // waits for it
  }
  bool serving_ = false;
  std::string address_;
  std::mutex mutex_;
  std::vector<std::string> notifyCalls_;
  FILE* daemon_ = nullptr;
  pid_t pid_ = -1;
  GDBusConnection* server_ = nullptr;

  static GDBusMessage* answer(GDBusConnection* connection, GDBusMessage* message, gboolean incoming,
                              gpointer self) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL)
      return message;
    g_autoptr(GDBusMessage) reply = g_dbus_message_new_method_reply(message);
    if (std::string(g_dbus_message_get_member(message)) == "Notify") {
      auto* bus = static_cast<PrivateNotificationBus*>(self);
      std::lock_guard lock(bus->mutex_);
      g_autofree gchar* body = g_variant_print(g_dbus_message_get_body(message), TRUE);
      bus->notifyCalls_.push_back(body);
      g_dbus_message_set_body(reply, g_variant_new("(u)", guint32(bus->notifyCalls_.size())));
    } else {
      g_dbus_message_set_body(reply, g_variant_new("(ssss)", "test", "velmora", "1", "1.2"));
    }
    g_dbus_connection_send_message(connection, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr, nullptr);
    g_object_unref(message);
    return nullptr;
  }
};

TEST(NotificationsBusTest, AServerOnTheBusAuthorizesAndGetsEachSendAsANotifyCall) {
  PrivateNotificationBus bus;
  ASSERT_TRUE(bus.serving_) << "no private bus with a notification server";
  platform::UserNotificationCenter::Override useBus(
      std::make_shared<platform::FreedesktopNotificationCenter>(bus.address_));
  EXPECT_EQ(await<Result>(authorize), Result(true));
  EXPECT_EQ(await<bool>(permission), true);
  EXPECT_EQ(await<Error>(send), sent);
  EXPECT_EQ(await<Error>(send), sent);
  const std::string expected = "('Velmora', uint32 0, '', 'Disk full', 'Data', @as [], @a{sv} {}, -1)";
  std::lock_guard lock(bus.mutex_);
  EXPECT_EQ(bus.notifyCalls_, (std::vector<std::string>{expected, expected}));
}

TEST(NotificationsBusTest, WithoutABusPermissionIsNotDeterminedAndAuthorizationFails) {
  platform::UserNotificationCenter::Override noBus(
      std::make_shared<platform::FreedesktopNotificationCenter>("unix:path=/nonexistent/velmora-bus"));
  const auto result = await<Result>(authorize);
  EXPECT_TRUE(result && std::holds_alternative<platform::NotificationError>(*result));
  EXPECT_EQ(await<bool>(permission), false);
}

struct Listener {
  std::string name;
};
using Delegates = Bexlan::MulticastDelegate<Listener>;

std::shared_ptr<Listener> listener(const std::string& name) {
  return std::make_shared<Listener>(Listener{name});
}

// The names of the delegates one invoke reaches, in the order it reaches them.
std::vector<std::string> called(Delegates& delegates) {
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) { names.push_back(delegate.name); });
  return names;
}

TEST(MulticastDelegateTest, CallsEachLiveDelegateOnceFromTheLastAddedAndRemovesByIdentity) {
  Delegates delegates;
  const auto a = listener("a"), b = listener("b"), twin = listener("a");
  auto released = listener("released");
  for (const auto& delegate : {a, b, released, twin, a}) delegates.add(delegate);  // a again: no new place
  delegates.add(nullptr);
  released.reset();
  delegates.remove(listener("stranger"));
  EXPECT_THAT(called(delegates), ElementsAre("a", "b", "a"));
  delegates.remove(a);
  std::vector<Listener*> reached;
  delegates.invoke([&](Listener& delegate) { reached.push_back(&delegate); });
  EXPECT_THAT(reached, ElementsAre(twin.get(), b.get()));
}

TEST(MulticastDelegateTest, ChangesMadeDuringAnInvokeTakeEffectAtTheNextOne) {
  Delegates delegates;
  auto first = listener("first");
  const auto second = listener("second"), late = listener("late");
  delegates.add(first);
  delegates.add(second);
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) {
    names.push_back(delegate.name);
    if (&delegate != second.get()) return;
    delegates.remove(second);
    delegates.add(late);
    first.reset();  // the walk keeps it alive until it has been called
  });
  EXPECT_THAT(names, ElementsAre("second", "first"));
  EXPECT_THAT(called(delegates), ElementsAre("late"));
}

}  // namespace
