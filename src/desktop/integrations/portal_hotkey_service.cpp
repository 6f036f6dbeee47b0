#include "desktop/integrations/portal_hotkey_service.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "desktop/integrations/portal_shortcut.h"

namespace kivo::desktop {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsInterface =
    QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface =
    QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface =
    QStringLiteral("org.freedesktop.portal.Session");
const char* const kSessionResponseSlot =
    SLOT(OnSessionResponse(uint, QVariantMap));
const char* const kBindResponseSlot = SLOT(OnBindResponse(uint, QVariantMap));

// A portal that is there answers at once; one that hangs must not hold the
// start of the window for long.
constexpr int kProbeTimeoutMs = 2000;

QString SessionHandleOf(const QVariant& value) {
  // The portal interface says "s"; early portals sent an object path.
  if (value.canConvert<QDBusObjectPath>()) {
    return value.value<QDBusObjectPath>().path();
  }
  return value.toString();
}

QString DescriptionOf(const QString& name) {
  QString text = name;
  return text.replace(QLatin1Char('_'), QLatin1Char(' '));
}

}  // namespace

PortalHotkeyService::PortalHotkeyService(ShellEvents* events,
                                         QDBusConnection connection)
    : events_(events), connection_(std::move(connection)) {
  RegisterPortalShortcutTypes();
  connection_.connect(kPortalService, kPortalPath, kShortcutsInterface,
                      QStringLiteral("Activated"), this,
                      SLOT(OnActivated(QDBusMessage)));
}

PortalHotkeyService::~PortalHotkeyService() { CloseSession(); }

bool PortalHotkeyService::Register(int id, int modifiers, int virtual_key) {
  const QString trigger = PortalTrigger(modifiers, virtual_key);
  if (trigger.isEmpty() || !PortalOffered()) return false;
  wanted_[id] = Shortcut{NameOf(id), trigger};
  ScheduleSync();
  return true;
}

void PortalHotkeyService::Unregister(int id) {
  if (wanted_.erase(id) > 0) ScheduleSync();
}

void PortalHotkeyService::Describe(int id, const std::string& name) {
  names_[id] = QString::fromStdString(name);
}

std::string PortalHotkeyService::UnavailableReason() const {
  if (unavailable_reason_) return *unavailable_reason_;
  unavailable_reason_.emplace();
  if (!connection_.isConnected()) {
    *unavailable_reason_ =
        "Global hotkeys are off: this Wayland session has no session bus to "
        "reach the desktop portal.";
    return *unavailable_reason_;
  }
  QDBusMessage probe = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath,
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  probe << kShortcutsInterface << QStringLiteral("version");
  const QDBusMessage reply =
      connection_.call(probe, QDBus::Block, kProbeTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    *unavailable_reason_ =
        "Global hotkeys are off: this Wayland desktop offers no global "
        "shortcuts portal (org.freedesktop.portal.GlobalShortcuts), and a "
        "Wayland program cannot take keys from other windows without it.";
  }
  return *unavailable_reason_;
}

bool PortalHotkeyService::PortalOffered() const {
  return UnavailableReason().empty();
}

QString PortalHotkeyService::NameOf(int id) const {
  const auto it = names_.find(id);
  return it != names_.end() ? it->second : QStringLiteral("hotkey%1").arg(id);
}

QString PortalHotkeyService::NextToken() {
  return QStringLiteral("kivo%1").arg(++token_count_);
}

void PortalHotkeyService::ScheduleSync() {
  if (sync_scheduled_) return;
  sync_scheduled_ = true;
  QTimer::singleShot(0, this, [this] { Sync(); });
}

void PortalHotkeyService::Sync() {
  sync_scheduled_ = false;
  if (!pending_request_.isEmpty()) return;  // its answer syncs again
  if (wanted_.empty()) {
    CloseSession();
    return;
  }
  if (!PortalOffered()) return;
  if (session_.isEmpty()) {
    CreateSession();
  } else if (wanted_ != bound_) {
    BindShortcuts();
  }
}

QString PortalHotkeyService::AwaitResponse(const QString& token,
                                           const char* slot) {
  // The request's path is known before the call, so the answer cannot slip
  // past: subscribe first, then call.
  QString sender = connection_.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  const QString path = kPortalPath + QStringLiteral("/request/") + sender +
                       QLatin1Char('/') + token;
  connection_.connect(kPortalService, path, kRequestInterface,
                      QStringLiteral("Response"), this, slot);
  return path;
}

void PortalHotkeyService::StopAwaiting(const char* slot) {
  connection_.disconnect(kPortalService, pending_request_, kRequestInterface,
                         QStringLiteral("Response"), this, slot);
  pending_request_.clear();
}

void PortalHotkeyService::SendRequest(const QDBusMessage& call,
                                      const char* slot) {
  auto* watcher =
      new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, slot](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            if (!finished->isError()) return;
            std::fprintf(stderr, "kivo-player: global shortcuts portal: %s\n",
                         qPrintable(finished->error().message()));
            StopAwaiting(slot);
          });
}

void PortalHotkeyService::CreateSession() {
  const QString token = NextToken();
  QDBusMessage call = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, kShortcutsInterface,
      QStringLiteral("CreateSession"));
  call << QVariantMap{{QStringLiteral("handle_token"), token},
                      {QStringLiteral("session_handle_token"), NextToken()}};
  pending_request_ = AwaitResponse(token, kSessionResponseSlot);
  SendRequest(call, kSessionResponseSlot);
}

void PortalHotkeyService::OnSessionResponse(uint response,
                                            const QVariantMap& results) {
  StopAwaiting(kSessionResponseSlot);
  // Refused (by the user or the desktop): the hotkeys stay off until the
  // table changes again.
  if (response != 0) return;
  session_ = SessionHandleOf(results.value(QStringLiteral("session_handle")));
  if (!session_.isEmpty()) Sync();
}

void PortalHotkeyService::BindShortcuts() {
  PortalShortcutList shortcuts;
  for (const auto& [id, shortcut] : wanted_) {
    shortcuts.append(PortalShortcut{
        shortcut.name,
        {{QStringLiteral("description"), DescriptionOf(shortcut.name)},
         {QStringLiteral("preferred_trigger"), shortcut.trigger}}});
  }
  const QString token = NextToken();
  QDBusMessage call = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, kShortcutsInterface,
      QStringLiteral("BindShortcuts"));
  call << QVariant::fromValue(QDBusObjectPath(session_))
       << QVariant::fromValue(shortcuts) << QString()
       << QVariantMap{{QStringLiteral("handle_token"), token}};
  binding_ = wanted_;
  pending_request_ = AwaitResponse(token, kBindResponseSlot);
  SendRequest(call, kBindResponseSlot);
}

void PortalHotkeyService::OnBindResponse(uint response, const QVariantMap&) {
  StopAwaiting(kBindResponseSlot);
  if (response == 0) {
    bound_ = std::move(binding_);
    rebind_failed_ = false;
    Sync();
    return;
  }
  // Some portals bind a session only once: a changed table then gets a
  // session of its own, tried once.
  if (!bound_.empty() && !rebind_failed_) {
    rebind_failed_ = true;
    CloseSession();
    Sync();
  }
}

void PortalHotkeyService::CloseSession() {
  bound_.clear();
  if (session_.isEmpty()) return;
  connection_.send(QDBusMessage::createMethodCall(
      kPortalService, session_, kSessionInterface, QStringLiteral("Close")));
  session_.clear();
}

void PortalHotkeyService::OnActivated(const QDBusMessage& signal) {
  // (o session_handle, s shortcut_id, t timestamp, a{sv} options)
  const QList<QVariant> arguments = signal.arguments();
  if (arguments.size() < 2 || events_ == nullptr) return;
  if (SessionHandleOf(arguments[0]) != session_ || session_.isEmpty()) return;
  const QString shortcut_id = arguments[1].toString();
  for (const auto& [id, shortcut] : wanted_) {
    if (shortcut.name == shortcut_id) {
      events_->HotkeyPressed(id);
      return;
    }
  }
}

}  // namespace kivo::desktop
