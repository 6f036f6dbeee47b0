#include "desktop/integrations/mpris_adaptors.h"

namespace kivo::desktop {

MprisRootAdaptor::MprisRootAdaptor(QObject* object, MprisModel* model)
    : QDBusAbstractAdaptor(object), model_(model) {}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
  return MprisModel::SupportedUriSchemes();
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
  return MprisModel::SupportedMimeTypes();
}

void MprisRootAdaptor::Raise() { model_->Command(MediaCommand::kRaise); }
void MprisRootAdaptor::Quit() { model_->Command(MediaCommand::kQuit); }

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, MprisModel* model)
    : QDBusAbstractAdaptor(object), model_(model) {}

void MprisPlayerAdaptor::Next() { model_->Command(MediaCommand::kNext); }
void MprisPlayerAdaptor::Previous() {
  model_->Command(MediaCommand::kPrevious);
}
void MprisPlayerAdaptor::Pause() { model_->Command(MediaCommand::kPause); }
void MprisPlayerAdaptor::PlayPause() {
  model_->Command(MediaCommand::kPlayPause);
}
void MprisPlayerAdaptor::Stop() { model_->Command(MediaCommand::kStop); }
void MprisPlayerAdaptor::Play() { model_->Command(MediaCommand::kPlay); }

void MprisPlayerAdaptor::Seek(qlonglong offset_us) { model_->Seek(offset_us); }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track_id,
                                     qlonglong position_us) {
  model_->SetPosition(track_id, position_us);
}

// The player opens locations through its own playlist commands only.
void MprisPlayerAdaptor::OpenUri(const QString&) {}

}  // namespace kivo::desktop
