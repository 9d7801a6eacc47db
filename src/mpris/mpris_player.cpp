#include "mpris/mpris_player.h"

#include "Mdkmain.h"
#include "mpris/mpris_names.h"
#include "platform/error_box.h"
#include "platform/mdk_error.h"
#include "platform/media_player.h"

#include <QAction>
#include <QDBusMessage>
#include <QFile>
#include <QTimer>
#include <QUrl>

namespace {

const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

} // namespace

MprisPlayer::MprisPlayer(QObject* exported, TForm1& form, MediaPlayer& player, QDBusConnection bus)
    : QDBusAbstractAdaptor(exported), form_(form), player_(player), bus_(std::move(bus)) {
  connect(&form_.State(), &PlayerState::Changed, this, [this](PlayerState::Change what) {
    if (what == PlayerState::Change::Title)
      ++trackNumber_;
    RefreshSoon();
  });
  // The poll enables and disables the commands as the list and the player change.
  for (TForm1::Command command : {TForm1::Command::Play, TForm1::Command::Pause,
                                  TForm1::Command::Next, TForm1::Command::Previous})
    connect(form_.CommandItem(command), &QAction::changed, this, &MprisPlayer::RefreshSoon);
  announced_ = Announced();
}

QString MprisPlayer::PlaybackStatus() const {
  switch (form_.State().TrayState()) {
  case 1:
    return QStringLiteral("Playing");
  case 2:
    return QStringLiteral("Paused");
  default:
    return QStringLiteral("Stopped");
  }
}

QString MprisPlayer::LoopStatus() const {
  return form_.State().ContinuousPlay() ? QStringLiteral("Playlist") : QStringLiteral("None");
}

// Repeating one track is not a mode of the player's; it leaves the mode as it is.
void MprisPlayer::SetLoopStatus(const QString& status) {
  if (status != QLatin1String("Playlist") && status != QLatin1String("None"))
    return;
  if ((status == QLatin1String("Playlist")) != form_.State().ContinuousPlay())
    Later([this] { form_.Run(TForm1::Command::ContinuousPlay); });
}

bool MprisPlayer::Shuffle() const {
  return form_.State().RandomPlay();
}

void MprisPlayer::SetShuffle(bool on) {
  if (on != form_.State().RandomPlay())
    Later([this] { form_.Run(TForm1::Command::RandomPlay); });
}

QVariantMap MprisPlayer::Metadata() const {
  const PlayerState& state = form_.State();
  if (state.CurrentFile().isEmpty())
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kNoTrack))}};
  QVariantMap metadata{
      {QStringLiteral("mpris:trackid"),
       QVariant::fromValue(
           QDBusObjectPath(QStringLiteral("/io/github/mellowdeck/track/%1").arg(trackNumber_)))},
      {QStringLiteral("xesam:url"),
       QString::fromLatin1(QUrl::fromLocalFile(state.CurrentFile()).toEncoded())},
      {QStringLiteral("xesam:title"), QString::fromLocal8Bit(state.CurrentTitle())},
  };
  try {
    if (state.TrayState() == 1 || state.TrayState() == 2)
      metadata.insert(QStringLiteral("mpris:length"), qlonglong(player_.Length()) * 1000);
  } catch (const MdkError&) {
    // Nothing open: the length is not known, and so not given.
  }
  return metadata;
}

qlonglong MprisPlayer::Position() const {
  try {
    return qlonglong(player_.Position()) * 1000;
  } catch (const MdkError&) {
    return 0;
  }
}

bool MprisPlayer::CanGoNext() const {
  return form_.CanRun(TForm1::Command::Next);
}

bool MprisPlayer::CanGoPrevious() const {
  return form_.CanRun(TForm1::Command::Previous);
}

// Playback can start or is going on whenever the list has something to play;
// media controls take a player that cannot play for one they cannot control.
// Play itself still runs only while its button is enabled.
bool MprisPlayer::CanPlay() const {
  return form_.CountPlayable() > 0;
}

bool MprisPlayer::CanPause() const {
  return form_.CanRun(TForm1::Command::Pause);
}

void MprisPlayer::Next() {
  Later([this] { form_.Run(TForm1::Command::Next); });
}

void MprisPlayer::Previous() {
  Later([this] { form_.Run(TForm1::Command::Previous); });
}

void MprisPlayer::Pause() {
  Later([this] { form_.Run(TForm1::Command::Pause); });
}

void MprisPlayer::PlayPause() {
  Later([this] {
    form_.Run(form_.State().TrayState() == 1 ? TForm1::Command::Pause : TForm1::Command::Play);
  });
}

void MprisPlayer::Stop() {
  Later([this] { form_.Run(TForm1::Command::Stop); });
}

void MprisPlayer::Play() {
  Later([this] { form_.Run(TForm1::Command::Play); });
}

// The player cannot seek (CanSeek is false): both calls are ignored.
void MprisPlayer::Seek(qlonglong) {}

void MprisPlayer::SetPosition(const QDBusObjectPath&, qlonglong) {}

void MprisPlayer::OpenUri(const QString& uri) {
  const QUrl url(uri);
  // Only local files: the player plays files, as the desktop entry says.
  if (!url.isLocalFile())
    return;
  const QByteArray entry = QFile::encodeName(url.toLocalFile());
  // Nothing between the event loop and this call would catch a fault: it
  // goes to the error box, as a fault while reading a hand-off file does.
  Later([this, entry] { Guarded([this, &entry] { form_.TakeHandedFile(entry); }); });
}

// Commands run from the event loop, after the call has been answered: one may
// show a box or end the program, and the caller should not wait on either.
void MprisPlayer::Later(std::function<void()> command) {
  QTimer::singleShot(0, &form_, std::move(command));
}

// A step through many entries changes the state many times; the desktop hears
// of where it ended once.
void MprisPlayer::RefreshSoon() {
  if (std::exchange(refreshPending_, true))
    return;
  QTimer::singleShot(0, this, [this] {
    refreshPending_ = false;
    Refresh();
  });
}

QVariantMap MprisPlayer::Announced() const {
  return {{QStringLiteral("PlaybackStatus"), PlaybackStatus()},
          {QStringLiteral("LoopStatus"), LoopStatus()},
          {QStringLiteral("Shuffle"), Shuffle()},
          {QStringLiteral("Metadata"), Metadata()},
          {QStringLiteral("CanGoNext"), CanGoNext()},
          {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
          {QStringLiteral("CanPlay"), CanPlay()},
          {QStringLiteral("CanPause"), CanPause()}};
}

void MprisPlayer::Refresh() {
  const QVariantMap now = Announced();
  QVariantMap changed;
  for (auto it = now.begin(); it != now.end(); ++it)
    if (announced_.value(it.key()) != it.value())
      changed.insert(it.key(), it.value());
  announced_ = now;
  if (changed.isEmpty())
    return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << kMprisPlayerInterface << changed << QStringList();
  bus_.send(signal);
}
