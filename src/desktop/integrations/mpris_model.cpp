#include "desktop/integrations/mpris_model.h"

#include <QStringDecoder>
#include <algorithm>
#include <cmath>

#include "desktop/integrations/mime_types.h"

namespace kivo::desktop {
namespace {

constexpr double kMicrosecondsPerSecond = 1e6;

QString TitleText(const std::string& bytes) {
  // A radio title in Latin-1 is shown as Latin-1, not as replacement marks.
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(QByteArray::fromStdString(bytes));
  if (utf8.hasError())
    text =
        QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return text;
}

}  // namespace

void MprisModel::SetTitle(const std::string& title) {
  const QString text = TitleText(title);
  if (!text.isEmpty() && text != title_) ++track_serial_;
  title_ = text;
}

PlayerStatus MprisModel::Status() const {
  return events_ != nullptr ? events_->Status() : PlayerStatus{};
}

QDBusObjectPath MprisModel::TrackId() const {
  if (title_.isEmpty()) {
    return QDBusObjectPath(
        QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
  }
  return QDBusObjectPath(QStringLiteral("/org/kivoplayer/Track/") +
                         QString::number(track_serial_));
}

QString MprisModel::PlaybackStatus() const {
  switch (Status().channel_state) {
    case 1:
    case 2:  // stalled: still playing, waiting for data
      return QStringLiteral("Playing");
    case 3:
      return QStringLiteral("Paused");
    default:
      return QStringLiteral("Stopped");
  }
}

QVariantMap MprisModel::Metadata() const {
  QVariantMap metadata;
  metadata.insert(QStringLiteral("mpris:trackid"),
                  QVariant::fromValue(TrackId()));
  if (title_.isEmpty()) return metadata;
  metadata.insert(QStringLiteral("xesam:title"), title_);
  const double length_seconds = Status().length_seconds;
  if (length_seconds > 0) {
    metadata.insert(QStringLiteral("mpris:length"),
                    static_cast<qlonglong>(
                        std::llround(length_seconds * kMicrosecondsPerSecond)));
  }
  return metadata;
}

double MprisModel::Volume() const { return Status().volume_0_10000 / 10000.0; }

qlonglong MprisModel::PositionUs() const {
  return std::llround(Status().position_seconds * kMicrosecondsPerSecond);
}

bool MprisModel::CanSeek() const { return Status().can_seek; }
bool MprisModel::CanGoNext() const { return Status().can_go_next; }
bool MprisModel::CanGoPrevious() const { return Status().can_go_previous; }

QVariantMap MprisModel::ChangingProperties() const {
  return {
      {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
      {QStringLiteral("Metadata"), Metadata()},
      {QStringLiteral("Volume"), Volume()},
      {QStringLiteral("CanSeek"), CanSeek()},
      {QStringLiteral("CanGoNext"), CanGoNext()},
      {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
      {QStringLiteral("CanPlay"), CanPlay()},
      {QStringLiteral("CanPause"), CanPause()},
  };
}

void MprisModel::Command(MediaCommand command) {
  if (events_ != nullptr) events_->MediaControl(command);
}

void MprisModel::SetVolume(double volume) {
  if (events_ == nullptr || std::isnan(volume)) return;
  const double clamped = std::clamp(volume, 0.0, 1.0);
  events_->SetVolumeLevel(static_cast<int>(std::lround(clamped * 10000)));
}

void MprisModel::SeekTo(double seconds) {
  if (events_ != nullptr) events_->SeekToSeconds(seconds);
}

void MprisModel::Seek(qlonglong offset_us) {
  const PlayerStatus status = Status();
  if (!status.can_seek) return;
  const double target_seconds = std::max(
      0.0, status.position_seconds + offset_us / kMicrosecondsPerSecond);
  if (status.length_seconds >= 0 && target_seconds > status.length_seconds) {
    Command(MediaCommand::kNext);  // past the end is the next track
    return;
  }
  SeekTo(target_seconds);
}

void MprisModel::SetPosition(const QDBusObjectPath& track_id,
                             qlonglong position_us) {
  const PlayerStatus status = Status();
  const double target_seconds = position_us / kMicrosecondsPerSecond;
  // A request for a track that has already gone by is stale.
  if (!status.can_seek || track_id != TrackId() || target_seconds < 0) {
    return;
  }
  if (status.length_seconds >= 0 && target_seconds > status.length_seconds) {
    return;
  }
  SeekTo(target_seconds);
}

QStringList MprisModel::SupportedUriSchemes() {
  return {QStringLiteral("file"), QStringLiteral("http"),
          QStringLiteral("ftp")};
}

QStringList MprisModel::SupportedMimeTypes() {
  QStringList types;
  for (const std::string& type : PlayerMimeTypes()) {
    types.push_back(QString::fromStdString(type));
  }
  return types;
}

}  // namespace kivo::desktop
