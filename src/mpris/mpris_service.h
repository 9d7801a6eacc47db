#pragma once

#include <QDBusConnection>
#include <QObject>

class MediaPlayer;
class TForm1;

// The player on a session bus for media keys, desktop media controls and
// remote controls: its root and player interfaces at the usual path under
// the usual name. Without a bus, or with the name taken, it stays off.
class MprisService {
public:
  MprisService(TForm1& form, MediaPlayer& player, QDBusConnection bus);
  ~MprisService();
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  bool Published() const { return published_; }

private:
  QDBusConnection bus_;
  QObject exported_;
  bool published_ = false;
};
