#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

class MediaPlayer;
class TForm1;

// The player's transport as a desktop's media controls see it. Commands run
// as the window's own would, with the same guards; the properties follow the
// player's state, and every change of one is announced with
// PropertiesChanged, whatever made it.
class MprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)
public:
  MprisPlayer(QObject* exported, TForm1& form, MediaPlayer& player, QDBusConnection bus);

  QString PlaybackStatus() const;
  QString LoopStatus() const;
  void SetLoopStatus(const QString& status);
  // Neither speed nor volume is the player's to change: both stay at 1.
  double Rate() const { return 1.0; }
  void SetRate(double) {}
  double Volume() const { return 1.0; }
  void SetVolume(double) {}
  bool Shuffle() const;
  void SetShuffle(bool on);
  QVariantMap Metadata() const;
  qlonglong Position() const;
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanPlay() const;
  bool CanPause() const;
  bool CanSeek() const { return false; }
  bool CanControl() const { return true; }

public slots:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong offset);
  void SetPosition(const QDBusObjectPath& track, qlonglong position);
  void OpenUri(const QString& uri);

signals:
  void Seeked(qlonglong position);

private:
  // What PropertiesChanged announces: every property but the position,
  // which clients read when they need it.
  QVariantMap Announced() const;
  void RefreshSoon();
  void Refresh();
  void Later(std::function<void()> command);

  TForm1& form_;
  MediaPlayer& player_;
  QDBusConnection bus_;
  QVariantMap announced_;
  bool refreshPending_ = false;
  // Each file opened is a track of its own, however often it plays.
  int trackNumber_ = 0;
};
