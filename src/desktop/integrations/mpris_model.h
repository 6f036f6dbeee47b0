#pragma once

#include <QDBusObjectPath>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <string>

#include "core/platform/shell_events.h"

namespace kivo::desktop {

// What the MPRIS interfaces show and do, read from ShellEvents::Status() and
// the announced title, in the types D-Bus carries (times in microseconds).
// Without ShellEvents the player shows as stopped and ignores commands.
class MprisModel {
 public:
  void SetShellEvents(ShellEvents* events) { events_ = events; }
  // A new non-empty title is a new track to the desktop; empty clears.
  void SetTitle(const std::string& title);

  QString PlaybackStatus() const;
  QVariantMap Metadata() const;
  double Volume() const;
  qlonglong PositionUs() const;
  bool CanSeek() const;
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanPlay() const { return Status().can_play; }
  bool CanPause() const { return events_ != nullptr; }
  // Every property of the Player interface that announces its changes
  // (Position does not: clients ask for it).
  QVariantMap ChangingProperties() const;

  void Command(MediaCommand command);
  void SetVolume(double volume);
  // The player reports a seek it made, and Seeked goes out then.
  void Seek(qlonglong offset_us);
  void SetPosition(const QDBusObjectPath& track_id, qlonglong position_us);

  static QStringList SupportedUriSchemes();
  static QStringList SupportedMimeTypes();

 private:
  PlayerStatus Status() const;
  QDBusObjectPath TrackId() const;
  void SeekTo(double seconds);

  ShellEvents* events_ = nullptr;
  QString title_;
  int track_serial_ = 0;
};

}  // namespace kivo::desktop
