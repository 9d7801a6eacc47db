#pragma once

#include "platform/playlist.h"
#include "playback/shuffle_draws.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

class RandomSource;

// What the player is: its list and the entry selected in it, the two modes,
// the shuffle's memory of what it has played, the current title and the
// state the tray shows. The window shows it and sends commands to it; each
// change is announced once, through Changed, to whoever follows it.
class PlayerState : public QObject {
  Q_OBJECT
public:
  static constexpr int kPlayedFlagCount = 2010;

  enum class Change { List, Modes, Title, Playing };
  Q_ENUM(Change)

  explicit PlayerState(RandomSource& random, QObject* parent = nullptr);

  Playlist& List() { return list_; }
  const Playlist& List() const { return list_; }

  bool RandomPlay() const { return randomPlay_; }
  bool ContinuousPlay() const { return continuousPlay_; }
  void SetRandomPlay(bool on);
  void SetContinuousPlay(bool on);

  // The file opened last, as an absolute path, and the title shown for it.
  const QString& CurrentFile() const { return currentFile_; }
  const QByteArray& CurrentTitle() const { return currentTitle_; }
  void SetCurrentMedia(const QString& file, const QByteArray& title);

  // -1 until the first is set, then 0 stopped, 1 playing, 2 paused.
  int TrayState() const { return trayState_; }
  // Announces only a state that differs from the one shown.
  void SetTrayState(int state);

  // The shuffle. A cycle covers the first ShuffleSize positions; each
  // position played in it is flagged until the cycle starts anew.
  int ShuffleSize() const { return shuffleSize_; }
  bool Played(int position) const;
  // Random play was switched on: the cycle begins anew, its size kept.
  void ForgetPlayed();
  // A random step begins: covers the list as it is now, starting a new cycle
  // when every covered position has been played. Gives the position to fall
  // back on when no draw finds a playable entry.
  int BeginRandomStep();
  // Draws unplayed positions, flagging and selecting each, until one holds a
  // playable entry (true) or the tries run out (false).
  bool DrawPlayable(int& triesLeft);
  // No draw found one: the fallback position is flagged and selected.
  void FallBackTo(int position);

signals:
  void Changed(PlayerState::Change what);

private:
  void StartNewShuffleCycle();

  Playlist list_;
  bool randomPlay_ = false;
  bool continuousPlay_ = false;
  QString currentFile_;
  QByteArray currentTitle_;
  int trayState_ = -1;
  RandomSource& random_;
  ShuffleDraws draws_;
  std::array<std::uint8_t, kPlayedFlagCount> playedFlags_{};
  int shuffleSize_ = 0;
};
