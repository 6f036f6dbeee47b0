#include "desktop/integrations/mpris_now_playing.h"

#include <unistd.h>

#include <QDBusMessage>
#include <QObject>
#include <utility>

#include "desktop/integrations/mpris_adaptors.h"

namespace kivo::desktop {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kServiceName =
    QStringLiteral("org.mpris.MediaPlayer2.kivoplayer");

}  // namespace

MprisNowPlaying::MprisNowPlaying(ShellEvents* events,
                                 QDBusConnection connection)
    : connection_(std::move(connection)),
      object_(std::make_unique<QObject>()),
      player_adaptor_(new MprisPlayerAdaptor(object_.get(), &model_)) {
  model_.SetShellEvents(events);
  new MprisRootAdaptor(object_.get(), &model_);
  last_properties_ = model_.ChangingProperties();
  // The object first, so a client that sees the name can talk to it at once.
  if (!connection_.isConnected() ||
      !connection_.registerObject(kObjectPath, object_.get())) {
    return;
  }
  for (const QString& name :
       {kServiceName, kServiceName + QStringLiteral(".instance") +
                          QString::number(getpid())}) {
    if (connection_.registerService(name)) {
      service_name_ = name;
      return;
    }
  }
  connection_.unregisterObject(kObjectPath);
}

MprisNowPlaying::~MprisNowPlaying() {
  if (!published()) return;
  connection_.unregisterService(service_name_);
  connection_.unregisterObject(kObjectPath);
}

void MprisNowPlaying::SetShellEvents(ShellEvents* events) {
  model_.SetShellEvents(events);
  SignalChanges();
}

void MprisNowPlaying::Announce(const std::string& title) {
  model_.SetTitle(title);
  SignalChanges();
}

void MprisNowPlaying::StatusChanged() { SignalChanges(); }

void MprisNowPlaying::Seeked() {
  if (published()) emit player_adaptor_->Seeked(model_.PositionUs());
}

void MprisNowPlaying::SignalChanges() {
  const QVariantMap properties = model_.ChangingProperties();
  QVariantMap changed;
  for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
    if (last_properties_.value(it.key()) != it.value()) {
      changed.insert(it.key(), it.value());
    }
  }
  last_properties_ = properties;
  if (changed.isEmpty() || !published()) return;
  QDBusMessage signal = QDBusMessage::createSignal(
      kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("PropertiesChanged"));
  signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed
         << QStringList();
  connection_.send(signal);
}

}  // namespace kivo::desktop
