#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

#include "desktop/integrations/mpris_model.h"

namespace kivo::desktop {

// org.mpris.MediaPlayer2 on the player's object.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  MprisRootAdaptor(QObject* object, MprisModel* model);

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Kivo Player"); }
  QString DesktopEntry() const { return QStringLiteral("kivo-player"); }
  QStringList SupportedUriSchemes() const;
  QStringList SupportedMimeTypes() const;

 public Q_SLOTS:
  void Raise();
  void Quit();

 private:
  MprisModel* model_;
};

// org.mpris.MediaPlayer2.Player on the player's object.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  MprisPlayerAdaptor(QObject* object, MprisModel* model);

  QString PlaybackStatus() const { return model_->PlaybackStatus(); }
  double Rate() const { return 1.0; }
  void SetRate(double) {}  // the player has one speed
  QVariantMap Metadata() const { return model_->Metadata(); }
  double Volume() const { return model_->Volume(); }
  void SetVolume(double volume) { model_->SetVolume(volume); }
  qlonglong Position() const { return model_->PositionUs(); }
  bool CanGoNext() const { return model_->CanGoNext(); }
  bool CanGoPrevious() const { return model_->CanGoPrevious(); }
  bool CanPlay() const { return model_->CanPlay(); }
  bool CanPause() const { return model_->CanPause(); }
  bool CanSeek() const { return model_->CanSeek(); }
  bool CanControl() const { return true; }

 public Q_SLOTS:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong offset_us);
  void SetPosition(const QDBusObjectPath& track_id, qlonglong position_us);
  void OpenUri(const QString& uri);

 Q_SIGNALS:
  void Seeked(qlonglong position_us);

 private:
  MprisModel* model_;
};

}  // namespace kivo::desktop
