#pragma once

#include <QDBusConnection>
#include <QVariantMap>
#include <memory>
#include <string>

#include "core/platform/now_playing.h"
#include "desktop/integrations/mpris_model.h"

class QObject;

namespace kivo::desktop {

class MprisPlayerAdaptor;

// NowPlaying as an MPRIS player on the session bus, named
// org.mpris.MediaPlayer2.kivoplayer (a second instance adds ".instance<pid>").
// Media keys, desktop widgets and playerctl reach the player's own commands
// through ShellEvents. Without a bus nothing is published and every call is a
// quiet no-op. GUI thread only: D-Bus calls arrive on the thread that built it.
class MprisNowPlaying : public NowPlaying {
 public:
  explicit MprisNowPlaying(
      ShellEvents* events,
      QDBusConnection connection = QDBusConnection::sessionBus());
  ~MprisNowPlaying() override;
  MprisNowPlaying(const MprisNowPlaying&) = delete;
  MprisNowPlaying& operator=(const MprisNowPlaying&) = delete;

  // For a core built after the desktop.
  void SetShellEvents(ShellEvents* events);
  bool published() const { return !service_name_.isEmpty(); }

  void Announce(const std::string& title) override;
  void StatusChanged() override;
  void Seeked() override;

 private:
  // Sends PropertiesChanged with the properties that differ from the last
  // ones sent.
  void SignalChanges();

  QDBusConnection connection_;
  MprisModel model_;
  std::unique_ptr<QObject> object_;
  MprisPlayerAdaptor* player_adaptor_;  // owned by object_
  QString service_name_;
  QVariantMap last_properties_;
};

}  // namespace kivo::desktop
