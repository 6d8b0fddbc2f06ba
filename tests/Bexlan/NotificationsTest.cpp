#include <dirent.h>
#include <gio/gio.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <semaphore>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"
#include "Bexlan/Notifications.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Foundation/FakeUserNotificationCenter.hpp"
#include "Platform/Foundation/FreedesktopNotificationCenter.hpp"
#include "Platform/Foundation/Uuid.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

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
  EXPECT_EQ(std::tuple(await<Error>(send), await<Error>(send)), std::tuple(sent, sent));
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

// The session bus while the object lives: a unix socket in a folder of its own that never says a word
// (connections wait in its backlog, established for the client and never read).
struct SilentSessionBus {
  const volumetest::TemporaryDirectory folder;
  const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool hadSession = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::string was = hadSession ? std::getenv("DBUS_SESSION_BUS_ADDRESS") : "";
  bool listening = false;
  SilentSessionBus() {
    sockaddr_un name{.sun_family = AF_UNIX, .sun_path = {}};
    std::snprintf(name.sun_path, sizeof name.sun_path, "%s/bus", folder.path().c_str());
    listening =
        !::bind(listener, reinterpret_cast<sockaddr*>(&name), sizeof name) && !::listen(listener, SOMAXCONN);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder.path() + "/bus").c_str(), 1);
  }
  ~SilentSessionBus() {
    ::close(listener);
    hadSession ? ::setenv("DBUS_SESSION_BUS_ADDRESS", was.c_str(), 1)
               : ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
};

// A bus on a unix socket made of GDBus's own server side: each login completes, then every message a client
// sends goes to `filter` (on GDBus's worker thread) instead of being delivered. It accepts on a context of
// its own, iterated by a thread of its own, and keeps every connection it accepted.
struct ServerSideBus {
  const volumetest::TemporaryDirectory folder;
  const std::string address = "unix:path=" + folder.path() + "/bus";
  GMainContext* const context = g_main_context_new();
  const GDBusMessageFilterFunction filter;
  void* const filterData;
  GDBusServer* server = nullptr;
  std::vector<GDBusConnection*> peers;  // touched only by the thread until it has stopped
  std::jthread thread;
  ServerSideBus(GDBusMessageFilterFunction messageFilter, void* data)
      : filter(messageFilter), filterData(data) {
    g_main_context_push_thread_default(context);  // the server accepts and reports on this context
    g_autofree gchar* guid = g_dbus_generate_guid();
    server =
        g_dbus_server_new_sync(address.c_str(), G_DBUS_SERVER_FLAGS_NONE, guid, nullptr, nullptr, nullptr);
    if (server) g_signal_connect(server, "new-connection", G_CALLBACK(accept), this);
    if (server) g_dbus_server_start(server);
    g_main_context_pop_thread_default(context);
    thread = std::jthread([this](std::stop_token stop) {
      while (!stop.stop_requested()) g_main_context_iteration(context, TRUE);
    });
  }
  ~ServerSideBus() {
    thread.request_stop();
    g_main_context_wakeup(context);
    thread.join();
    if (server) g_dbus_server_stop(server), g_object_unref(server);
    for (auto* peer : peers) g_object_unref(peer);
    g_main_context_unref(context);
  }
  static gboolean accept(GDBusServer*, GDBusConnection* peer, ServerSideBus* self) {
    g_dbus_connection_add_filter(peer, self->filter, self->filterData, nullptr);
    self->peers.push_back(G_DBUS_CONNECTION(g_object_ref(peer)));
    return TRUE;
  }
};

// A hung bus daemon: every message, Hello included, is dropped unanswered.
struct StalledBus : ServerSideBus {
  StalledBus() : ServerSideBus(drop, nullptr) {}
  static GDBusMessage* drop(GDBusConnection*, GDBusMessage* message, gboolean, void*) {
    g_object_unref(message);
    return nullptr;
  }
};

// A dbus-daemon of the test's own on a socket in a folder of its own (it dies with the test process, however
// that ends), with a minimal notification server on it: a connection that owns org.freedesktop.Notifications
// and answers from a message filter, keeping each Notify body as text; a mute server never answers.
class PrivateNotificationBus {
 public:
  explicit PrivateNotificationBus(bool answers = true) : answers_(answers) {
    const std::string command =
        "exec setpriv --pdeathsig TERM dbus-daemon --session --nofork --print-address=1 "
        "--print-pid=1 --address=unix:path=" +
        folder_.path() + "/bus 2>/dev/null";
    daemon_ = ::popen(command.c_str(), "r");
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
  static bool installed() { return std::system("command -v dbus-daemon >/dev/null") == 0; }
  const volumetest::TemporaryDirectory folder_;
  const bool answers_;
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
    auto* bus = static_cast<PrivateNotificationBus*>(self);
    g_autoptr(GDBusMessage) reply = g_dbus_message_new_method_reply(message);
    if (std::string(g_dbus_message_get_member(message)) == "Notify") {
      std::lock_guard lock(bus->mutex_);
      g_autofree gchar* body = g_variant_print(g_dbus_message_get_body(message), TRUE);
      bus->notifyCalls_.push_back(body);
      g_dbus_message_set_body(reply, g_variant_new("(u)", guint32(bus->notifyCalls_.size())));
    } else {
      g_dbus_message_set_body(reply, g_variant_new("(ssss)", "test", "velmora", "1", "1.2"));
    }
    if (bus->answers_)
      g_dbus_connection_send_message(connection, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr, nullptr);
    g_object_unref(message);
    return nullptr;
  }
};

TEST(NotificationsBusTest, AServerOnTheBusAuthorizesAndGetsEachSendAsANotifyCall) {
  if (!PrivateNotificationBus::installed()) GTEST_SKIP() << "dbus-daemon is not installed";
  PrivateNotificationBus bus;
  ASSERT_TRUE(bus.serving_) << "no private bus with a notification server";
  platform::UserNotificationCenter::Override useBus(
      std::make_shared<platform::FreedesktopNotificationCenter>(bus.address_));
  EXPECT_EQ(await<Result>(authorize), Result(true));
  EXPECT_EQ(await<bool>(permission), true);
  EXPECT_EQ(std::tuple(await<Error>(send), await<Error>(send)), std::tuple(sent, sent));
  const std::string expected = "('Velmora', uint32 0, '', 'Disk full', 'Data', @as [], @a{sv} {}, -1)";
  std::lock_guard lock(bus.mutex_);
  EXPECT_EQ(bus.notifyCalls_, (std::vector<std::string>{expected, expected}));
}

// No bus, a session bus that never speaks and a server that never answers: authorization fails and permission
// is not determined, each call fails within two seconds, a hundred sends fail in about one timeout, and
// meanwhile a block put on the global queue runs at once.
// So too on a bus that never answers Hello; destroying a centre waiting on any of them returns within 2 s.
TEST(NotificationsBusTest, AbsentSilentStalledOrMuteBusFailsEachCallWithinTwoSecondsHoldsNoWorkerAndLetsGo) {
  if (!PrivateNotificationBus::installed()) GTEST_SKIP() << "dbus-daemon is not installed";
  const SilentSessionBus silent;
  StalledBus stalled;  // not const: it keeps its peers
  PrivateNotificationBus mute(false);
  ASSERT_TRUE(silent.listening && stalled.server && mute.serving_) << "no test socket, or no private bus";
  const std::string noBus = "unix:path=/nonexistent/velmora-bus", sessionBus;  // empty: the session bus
  for (const std::string& address : {noBus, sessionBus, stalled.address, mute.address_}) {
    auto center = std::make_shared<platform::FreedesktopNotificationCenter>(address);
    const platform::UserNotificationCenter::Override use(center);
    const auto result = await<Result>(authorize);
    EXPECT_TRUE(result && std::holds_alternative<platform::NotificationError>(*result)) << address;
    EXPECT_EQ(await<bool>(permission), false) << address;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    const auto failures = std::make_shared<std::counting_semaphore<>>(0);
    for (int i = 0; i < 100; ++i)
      center->add({platform::uuidString(), "Disk full", "Data"}, [failures](const Error& error) {
        if (error) failures->release();
      });
    const auto ran = std::make_shared<std::counting_semaphore<>>(0);
    platform::DispatchQueue::global().async([ran] { ran->release(); });
    EXPECT_TRUE(ran->try_acquire_for(std::chrono::milliseconds(500))) << address;
    int failed = 0;
    while (failed < 100 && failures->try_acquire_until(deadline)) ++failed;
    EXPECT_EQ(failed, 100) << address;
    center = std::make_shared<platform::FreedesktopNotificationCenter>(address);
    center->add({platform::uuidString(), "Disk full", "Data"}, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // past the login, into the wait
    const auto destroying = std::chrono::steady_clock::now();
    center.reset();
    const std::chrono::duration<double> destroyed = std::chrono::steady_clock::now() - destroying;
    EXPECT_LT(destroyed.count(), 2.0) << "seconds to destroy the centre on " << address;
  }
}

// A bus that answers Hello and closes the connection when any other call arrives, as soon as the test has
// taken the call, so the close lands while the test goes on. Each close reports on a context the test runs.
struct ClosingBus : ServerSideBus {
  std::counting_semaphore<> arrived{0};
  std::atomic<GDBusConnection*> caller = nullptr;  // whose call came last; the bus keeps its reference
  GMainContext* const closing = g_main_context_new();
  int closed = 0;  // closes completed, counted on the test's thread
  ClosingBus() : ServerSideBus(onMessage, this) {}
  ~ClosingBus() { g_main_context_unref(closing); }
  // Waits two seconds at most for the next call, then starts closing its connection; false when none came.
  bool closeAtNextCall() {
    if (!arrived.try_acquire_for(std::chrono::seconds(2))) return false;
    g_main_context_push_thread_default(closing);
    g_dbus_connection_close(
        caller, nullptr,
        [](GObject* connection, GAsyncResult* result, gpointer self) {
          static_cast<ClosingBus*>(self)->closed +=
              g_dbus_connection_close_finish(G_DBUS_CONNECTION(connection), result, nullptr);
        },
        this);
    g_main_context_pop_thread_default(closing);
    return true;
  }
  // Whether `count` closes have completed (their sockets closed), waiting two seconds at most.
  bool awaitCloses(int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (closed < count && std::chrono::steady_clock::now() < deadline)
      if (!g_main_context_iteration(closing, FALSE))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return closed == count;
  }
  static GDBusMessage* onMessage(GDBusConnection* peer, GDBusMessage* message, gboolean incoming,
                                 void* data) {
    if (!incoming) return message;
    auto* self = static_cast<ClosingBus*>(data);
    if (g_strcmp0(g_dbus_message_get_member(message), "Hello") == 0) {
      g_autoptr(GDBusMessage) reply = g_dbus_message_new_method_reply(message);
      g_dbus_message_set_body(reply, g_variant_new("(s)", ":1.1"));
      g_dbus_connection_send_message(peer, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr, nullptr);
    } else if (g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_METHOD_CALL) {
      self->caller = peer;
      self->arrived.release();
    }
    g_object_unref(message);
    return nullptr;
  }
};

// The descriptors open in this process, each as its number and what it refers to; the descriptor this
// listing reads the folder through is left out, as its number changes with the descriptors free at the time.
std::set<std::string> openDescriptors() {
  std::set<std::string> open;
  DIR* folder = opendir("/proc/self/fd");
  if (!folder) return open;
  const std::string ownDescriptor = std::to_string(dirfd(folder));
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name == ownDescriptor) continue;
    std::error_code error;
    open.insert(name + " " + std::filesystem::read_symlink("/proc/self/fd/" + name, error).string());
  }
  closedir(folder);
  return open;
}

// Centres destroyed while their peer closes the socket on a call: every send still completes with an error,
// each destruction returns within a second and a half, and no descriptor is left behind (neither the
// connection's socket nor the wake-up descriptor of the centre's context).
TEST(NotificationsBusTest, CentresWhosePeerClosesOnACallLeaveNoDescriptorOnceDestroyed) {
  ClosingBus bus;
  ASSERT_TRUE(bus.server) << "no test socket";
  constexpr int rounds = 1000;
  const auto failures = std::make_shared<std::counting_semaphore<>>(0);
  std::set<std::string> before;
  std::chrono::duration<double> slowest{};
  for (int round = -1; round < rounds; ++round) {  // round -1 starts the threads of GDBus and of the queues
    if (round == 0) before = bus.awaitCloses(1) ? openDescriptors() : before;
    auto center = std::make_unique<platform::FreedesktopNotificationCenter>(bus.address);
    center->add({platform::uuidString(), "Disk full", "Data"}, [failures](const Error& error) {
      if (error) failures->release();
    });
    ASSERT_TRUE(bus.closeAtNextCall()) << "no call arrived in round " << round;
    const auto destroying = std::chrono::steady_clock::now();
    center.reset();
    slowest = std::max<std::chrono::duration<double>>(slowest, std::chrono::steady_clock::now() - destroying);
  }
  EXPECT_TRUE(bus.awaitCloses(rounds + 1)) << "the bus's own sockets are still open";
  std::vector<std::string> left;  // others' descriptors closed meanwhile are no matter
  std::ranges::set_difference(openDescriptors(), before, std::back_inserter(left));
  EXPECT_EQ(left.size(), 0u) << "descriptors left by " << rounds << " centres, as "
                             << (left.empty() ? "" : left[0]);
  EXPECT_LT(slowest.count(), 1.5) << "seconds to destroy a centre";
  int failed = 0;
  while (failed <= rounds && failures->try_acquire_for(std::chrono::seconds(2))) ++failed;
  EXPECT_EQ(failed, rounds + 1);
}

struct Listener {
  std::string name;
};
using Delegates = Bexlan::MulticastDelegate<Listener>;

auto listener(const std::string& name) { return std::make_shared<Listener>(Listener{name}); }

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
  for (const auto& delegate : {first, second}) delegates.add(delegate);
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
