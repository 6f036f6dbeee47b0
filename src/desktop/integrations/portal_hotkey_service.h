#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <map>
#include <optional>
#include <string>

#include "core/platform/hotkey_service.h"
#include "core/platform/shell_events.h"

namespace kivo::desktop {

// Global hotkeys in a Wayland session, where no client may grab keys: the XDG
// desktop portal's GlobalShortcuts interface binds them and reports each press
// as an Activated signal, which arrives here as ShellEvents::HotkeyPressed.
//
// Register and Unregister only change the wanted table; the portal is told on
// the next turn of the event loop, so the core's "release all eight, register
// the enabled ones" becomes one BindShortcuts call. The first wanted hotkey
// creates the session, a changed table binds it again, an empty table closes
// it. Every portal step is asynchronous (a Request object answers with
// Response), so the window never waits for the desktop's confirmation dialog.
// Whether the portal is there at all is asked once, synchronously and bounded,
// the first time it matters. GUI thread only.
class PortalHotkeyService : public QObject, public HotkeyService {
  Q_OBJECT

 public:
  explicit PortalHotkeyService(
      ShellEvents* events,
      QDBusConnection connection = QDBusConnection::sessionBus());
  ~PortalHotkeyService() override;
  PortalHotkeyService(const PortalHotkeyService&) = delete;
  PortalHotkeyService& operator=(const PortalHotkeyService&) = delete;

  void SetShellEvents(ShellEvents* events) { events_ = events; }
  // The portal's session while one is open (for tests and diagnostics).
  QString session_handle() const { return session_; }

  bool Register(int id, int modifiers, int virtual_key) override;
  void Unregister(int id) override;
  void Describe(int id, const std::string& name) override;
  std::string UnavailableReason() const override;

 public Q_SLOTS:
  // D-Bus signal handlers (QtDBus calls public slots only).
  void OnSessionResponse(uint response, const QVariantMap& results);
  void OnBindResponse(uint response, const QVariantMap& results);
  void OnActivated(const QDBusMessage& signal);

 private:
  struct Shortcut {
    QString name;
    QString trigger;
    bool operator==(const Shortcut&) const = default;
  };

  bool PortalOffered() const;
  void ScheduleSync();
  void Sync();
  void CreateSession();
  void BindShortcuts();
  void CloseSession();
  // Subscribes slot to the Response of the request named by token and
  // returns that token's request path.
  QString AwaitResponse(const QString& token, const char* slot);
  void StopAwaiting(const char* slot);
  // Calls a portal method that answers through a Request; a call the portal
  // refuses outright ends the wait.
  void SendRequest(const QDBusMessage& call, const char* slot);
  QString NextToken();
  QString NameOf(int id) const;

  ShellEvents* events_;
  QDBusConnection connection_;
  std::map<int, QString> names_;
  std::map<int, Shortcut> wanted_;
  std::map<int, Shortcut> binding_;  // sent, not yet confirmed
  std::map<int, Shortcut> bound_;
  QString session_;
  QString pending_request_;  // a CreateSession or BindShortcuts in flight
  bool sync_scheduled_ = false;
  bool rebind_failed_ = false;
  int token_count_ = 0;
  mutable std::optional<std::string> unavailable_reason_;
};

}  // namespace kivo::desktop
