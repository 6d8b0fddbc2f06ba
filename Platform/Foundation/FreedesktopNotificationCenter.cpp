#include "Platform/Foundation/FreedesktopNotificationCenter.hpp"

#include <gio/gio.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Foundation/BuildInfo.hpp"

namespace platform {

namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* objectPath = "/org/freedesktop/Notifications";
constexpr guint timeoutMs = 1000;  // for connecting, and for each call

struct Unref {
  void operator()(GDBusConnection* connection) const { g_object_unref(connection); }
  void operator()(GCancellable* cancellable) const { g_object_unref(cancellable); }
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
  void operator()(gchar* text) const { g_free(text); }
  // Destroying a source twice is harmless, so a timeout that already fired may be released here too.
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
template <class T>
using Owned = std::unique_ptr<T, Unref>;

using Outcome = std::optional<NotificationError>;

NotificationError errorFrom(GError* error) {
  NotificationError result{g_quark_to_string(error->domain), error->code, error->message};
  g_error_free(error);
  return result;
}

// A method call of the service: what to send, and what to do with its outcome on a global queue.
struct ServiceCall {
  const char* method;
  std::shared_ptr<GVariant> parameters;  // a full reference, or null for none
  const GVariantType* replyType;
  std::function<void(const Outcome&)> done;
};

ServiceCall askServer(std::function<void(const Outcome&)> done) {
  return {"GetServerInformation", nullptr, G_VARIANT_TYPE("(ssss)"), std::move(done)};
}

// Runs `work` on the thread that iterates `context`, never on the caller's.
void invokeOn(GMainContext* context, std::function<void()> work) {
  using Work = std::function<void()>;
  GSource* source = g_idle_source_new();
  g_source_set_priority(source, G_PRIORITY_DEFAULT);
  g_source_set_callback(
      source,
      [](gpointer held) -> gboolean {
        (*static_cast<Work*>(held))();
        return G_SOURCE_REMOVE;
      },
      new Work(std::move(work)), [](gpointer held) { delete static_cast<Work*>(held); });
  g_source_attach(source, context);
  g_source_unref(source);
}

// D-Bus strings must be UTF-8: invalid sequences become U+FFFD.
std::string validUtf8(const std::string& text) {
  Owned<gchar> valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  return valid.get();
}

}  // namespace

// The centre's link to the bus: a thread of its own iterating a main context of its own, on which every
// connection attempt and call runs asynchronously. Apart from construction, destruction and send(), all of
// it runs on that thread, so its state needs no lock.
class FreedesktopNotificationCenter::BusClient {
 public:
  explicit BusClient(std::string busAddress) : busAddress_(std::move(busAddress)) {}

  ~BusClient() {
    invokeOn(context_, [this] {
      stopped_ = true;
      g_cancellable_cancel(stopping_.get());
      if (connecting_) g_cancellable_cancel(connecting_.get());
    });
    thread_.join();
    g_main_context_unref(context_);
  }

  BusClient(const BusClient&) = delete;
  BusClient& operator=(const BusClient&) = delete;

  void send(ServiceCall call) {
    invokeOn(context_, [this, call = std::move(call)]() mutable { make(std::move(call)); });
  }

 private:
  struct PendingCall {
    BusClient* client;
    ServiceCall call;
  };

  // Iterates the context until the client is stopped and nothing it started is still in flight, then lets
  // go of the connection.
  void run() {
    g_main_context_push_thread_default(context_);
    while (!stopped_ || inFlight_ > 0) g_main_context_iteration(context_, TRUE);
    if (connection_) release(std::move(connection_));
    letGo();
    g_main_context_pop_thread_default(context_);
  }

  // GDBus tells a connection's closing, and returns each of its calls, through sources on this context that
  // hold the connection, which holds the context: a source left pending when the thread ends keeps both, and
  // the socket and the context's wake-up descriptor with them, for ever. So the thread goes on until every
  // connection it made has been closed and told so, a second at most, and then runs whatever is left.
  void letGo() {
    bool late = false;
    const Owned<GSource> deadline(g_timeout_source_new(timeoutMs));
    g_source_set_callback(
        deadline.get(), [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; },
        &late, nullptr);
    g_source_attach(deadline.get(), context_);
    while ((inFlight_ > 0 || unclosed_ > 0) && !late) g_main_context_iteration(context_, TRUE);
    while (g_main_context_iteration(context_, FALSE)) continue;
  }

  // Counts `connection` among those whose "closed" notice is still to come.
  void watch(GDBusConnection* connection) {
    ++unclosed_;
    g_signal_connect(connection, "closed",
                     G_CALLBACK(+[](GDBusConnection*, gboolean, GError*, gpointer self) {
                       --static_cast<BusClient*>(self)->unclosed_;
                     }),
                     this);
  }

  // Closes a connection the client is done with (the socket's descriptor goes once the close completes), so
  // that its "closed" notice comes even when the peer never closes it.
  void release(Owned<GDBusConnection> connection) {
    ++inFlight_;
    g_dbus_connection_close(
        connection.get(), nullptr,
        [](GObject* closed, GAsyncResult* result, gpointer self) {
          // Done either way: the socket is closed by now, even on a connection the peer closed first.
          g_dbus_connection_close_finish(G_DBUS_CONNECTION(closed), result, nullptr);
          --static_cast<BusClient*>(self)->inFlight_;
        },
        this);
  }

  // Makes the call on the open connection, or queues it for the next one.
  void make(ServiceCall call) {
    if (connection_ && g_dbus_connection_is_closed(connection_.get())) release(std::move(connection_));
    if (connection_) return start(std::move(call));
    waiting_.push_back(std::move(call));
    if (!connecting_) connect();
  }

  // Connects to the bus for the waiting calls, giving up after the timeout. GDBus's own Hello (the
  // message-bus flag) may wait its 25 s default whatever the cancellable says, so the connection only logs
  // in and the centre says Hello itself under the same deadline; the bus takes no other message before it.
  void connect() {
    GError* error = nullptr;
    const Owned<gchar> address(busAddress_.empty()
                                   ? g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error)
                                   : g_strdup(busAddress_.c_str()));
    if (!address) return failWaiting(errorFrom(error));
    connecting_.reset(g_cancellable_new());
    timedOut_ = false;
    deadline_.reset(g_timeout_source_new(timeoutMs));
    g_source_set_callback(
        deadline_.get(),
        [](gpointer self) -> gboolean {
          auto* client = static_cast<BusClient*>(self);
          client->timedOut_ = true;
          g_cancellable_cancel(client->connecting_.get());
          return G_SOURCE_REMOVE;
        },
        this, nullptr);
    g_source_attach(deadline_.get(), context_);
    ++inFlight_;
    g_dbus_connection_new_for_address(
        address.get(), G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT, nullptr, connecting_.get(),
        [](GObject*, GAsyncResult* result, gpointer self) {
          GError* failure = nullptr;
          GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &failure);
          static_cast<BusClient*>(self)->loggedIn(connection, failure);
        },
        this);
  }

  // Says Hello on a connection that has logged in, passing the reference that came with
  // `connection` on to the reply's callback.
  void loggedIn(GDBusConnection* connection, GError* error) {
    if (!connection) return connected(nullptr, error);
    watch(connection);
    g_dbus_connection_call(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", nullptr,
        G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, timeoutMs, connecting_.get(),
        [](GObject* source, GAsyncResult* result, gpointer self) {
          Owned<GDBusConnection> loggedIn(G_DBUS_CONNECTION(source));
          GError* failure = nullptr;
          const Owned<GVariant> name(g_dbus_connection_call_finish(loggedIn.get(), result, &failure));
          auto* client = static_cast<BusClient*>(self);
          if (name) return client->connected(loggedIn.release(), nullptr);
          client->release(std::move(loggedIn));
          client->connected(nullptr, failure);
        },
        this);
  }

  // The end of a connection attempt: the connection, once the bus has answered Hello, or the error.
  void connected(GDBusConnection* connection, GError* error) {
    --inFlight_;
    deadline_.reset();
    connecting_.reset();
    if (!connection) {
      if (timedOut_ && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        g_error_free(error);
        error =
            g_error_new(G_IO_ERROR, G_IO_ERROR_TIMED_OUT, "No answer from the bus within %u ms", timeoutMs);
      }
      return failWaiting(errorFrom(error));
    }
    connection_.reset(connection);
    for (ServiceCall& call : std::exchange(waiting_, {})) start(std::move(call));
  }

  void failWaiting(const NotificationError& error) {
    for (ServiceCall& call : std::exchange(waiting_, {})) finish(call, error);
  }

  void start(ServiceCall call) {
    ++inFlight_;
    auto* sent = new PendingCall{this, std::move(call)};
    g_dbus_connection_call(
        connection_.get(), serviceName, objectPath, serviceName, sent->call.method,
        sent->call.parameters.get(), sent->call.replyType, G_DBUS_CALL_FLAGS_NONE, timeoutMs, stopping_.get(),
        [](GObject* connection, GAsyncResult* result, gpointer data) {
          const std::unique_ptr<PendingCall> pending(static_cast<PendingCall*>(data));
          GError* error = nullptr;
          const Owned<GVariant> reply(
              g_dbus_connection_call_finish(G_DBUS_CONNECTION(connection), result, &error));
          --pending->client->inFlight_;
          finish(pending->call, reply ? Outcome() : errorFrom(error));
        },
        sent);
  }

  static void finish(ServiceCall& call, Outcome outcome) {
    DispatchQueue::global().async(
        [done = std::move(call.done), outcome = std::move(outcome)] { done(outcome); });
  }

  const std::string busAddress_;
  GMainContext* const context_ = g_main_context_new();
  const Owned<GCancellable> stopping_{g_cancellable_new()};  // cancelled when the client is destroyed
  Owned<GDBusConnection> connection_;
  Owned<GCancellable> connecting_;  // the connection attempt in flight, if any
  Owned<GSource> deadline_;         // gives that attempt up
  bool timedOut_ = false;
  std::vector<ServiceCall> waiting_;  // calls waiting for that attempt
  std::size_t inFlight_ = 0;          // attempts, calls and closes whose callback has yet to run
  std::size_t unclosed_ = 0;          // connections whose "closed" notice has yet to come
  bool stopped_ = false;
  std::thread thread_{[this] { run(); }};  // declared last: starts once everything above is made
};

FreedesktopNotificationCenter::FreedesktopNotificationCenter(std::string busAddress)
    : client_(std::make_unique<BusClient>(std::move(busAddress))) {}

FreedesktopNotificationCenter::~FreedesktopNotificationCenter() = default;

void FreedesktopNotificationCenter::requestAuthorization(std::uint32_t, AuthorizationCompletion completion) {
  client_->send(askServer([completion = std::move(completion)](const Outcome& error) {
    if (completion) completion(!error, error);
  }));
}

void FreedesktopNotificationCenter::getNotificationSettings(SettingsCompletion completion) {
  client_->send(askServer([completion = std::move(completion)](const Outcome& error) {
    NotificationSettings settings;
    if (!error) settings = {AuthorizationStatus::authorized, AlertStyle::banner};
    if (completion) completion(settings);
  }));
}

void FreedesktopNotificationCenter::add(NotificationRequest request, AddCompletion completion) {
  const std::string title = validUtf8(request.title), body = validUtf8(request.body);
  GVariant* parameters = g_variant_ref_sink(g_variant_new("(susssasa{sv}i)", buildinfo::productName, 0u, "",
                                                          title.c_str(), body.c_str(), nullptr, nullptr, -1));
  client_->send({"Notify", std::shared_ptr<GVariant>(parameters, &g_variant_unref), G_VARIANT_TYPE("(u)"),
                 [completion = std::move(completion)](const Outcome& error) {
                   if (completion) completion(error);
                 }});
}

}  // namespace platform
