#include "app/handoff_watch.h"
#include "platform/mdk_error.h"
#include "platform/media_player.h"
#include "rules/handoff_writer.h"
#include "support/form_fixture.h"
#include "support/wait.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTimer>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace {

// A player whose mode cannot be read while modeFails is set, as with a media
// layer that has broken down.
class FailingModePlayer : public RecordingMediaPlayer {
public:
  using RecordingMediaPlayer::RecordingMediaPlayer;
  bool modeFails = false;
  int Mode() override {
    if (modeFails)
      throw MdkError("The media layer does not answer.");
    return RecordingMediaPlayer::Mode();
  }
};

struct Start {
  std::vector<QByteArray> list;
  int selected = -1;
  int mode = mpNotReady;
  bool continuous = false;
  bool modeFails = false;
  bool watched = true;
};

// The window with its poll running by itself, at a short interval so that
// many ticks pass quickly, and its program directory watched and long settled.
class QuietPollTest : public FormTest {
public:
  ~QuietPollTest() override { form.reset(); }

  void Build(const Start& start) {
    form.reset();
    watch.reset();
    Rebuild(failing, true);
    Timer()->setInterval(kTickMs);
    const timespec times[] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(programDir.path()).constData(), times, 0), 0);
    if (start.watched) {
      watch = std::make_unique<HandOffWatch>(QStringList{programDir.path()},
                                             [this] { form->ReadHandOffFiles(); });
      form->SetHandOffWatched([this](const QString& dir) { return watch->Watches(dir); });
    }
    SetList(start.list, start.selected);
    form->State().SetContinuousPlay(start.continuous);
    failing.mode = start.mode;
    failing.open = start.mode != mpNotReady;
    failing.modeFails = start.modeFails;
    form->FormCreate({});
  }

  QTimer* Timer() const { return Widget<QTimer>("Timer1"); }
  bool GoesQuiet() const {
    return WaitFor([this] { return !Timer()->isActive(); }, 10000);
  }
  // Well past the two calm ticks after which a poll with nothing to do stops.
  bool KeepsTicking() const {
    QSignalSpy ticks(Timer(), &QTimer::timeout);
    WaitFor([&] { return ticks.count() >= 8 || !Timer()->isActive(); }, 10000);
    return ticks.count() >= 8 && Timer()->isActive();
  }
  bool Enabled(const char* button) const { return Button(button)->isEnabled(); }

  static constexpr int kTickMs = 20;
  FailingModePlayer failing{log};
  std::unique_ptr<HandOffWatch> watch;
};

TEST_F(QuietPollTest, StopsOnlyWhileTheNextTickCouldNotChangeAnything) {
  const std::vector<QByteArray> two = {" /m/a.wav", " /m/b.wav"};
  const struct {
    const char* label;
    Start start;
    bool quiet;
    bool startEnabled;
  } cases[] = {
      {"nothing open", {{}, -1, mpNotReady}, true, false},
      {"stopped", {two, 0, mpStopped}, true, true},
      {"paused", {two, 0, mpPaused}, true, true},
      {"stopped with continuous play on", {{}, -1, mpStopped, true}, false, false},
      {"playing", {two, 0, mpPlaying}, false, false},
      {"a tick that fails", {two, 0, mpPaused, false, true}, false, true},
      {"a hand-off directory nobody watches", {two, 0, mpPaused, false, false, false}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Build(c.start);
    if (c.quiet) {
      EXPECT_TRUE(GoesQuiet());
    } else {
      EXPECT_TRUE(KeepsTicking());
    }
    EXPECT_EQ(Enabled("TB_Start"), c.startEnabled);
  }
}

TEST_F(QuietPollTest, AFailedTickIsTriedAgainUntilOneGetsThrough) {
  Build({{" /m/a.wav"}, 0, mpPaused, false, true});
  ASSERT_TRUE(KeepsTicking());
  EXPECT_GE(errors.size(), 2);
  EXPECT_EQ(errors.value(0), "The media layer does not answer.");

  failing.modeFails = false;
  EXPECT_TRUE(GoesQuiet());
  EXPECT_TRUE(Enabled("TB_Start") && Enabled("TB_Stop") && !Enabled("TB_Pause"));
}

TEST_F(QuietPollTest, WakesForWhateverCanChangeWhatItShows) {
  const std::vector<QByteArray> two = {" /m/a.wav", " /m/b.wav"};
  const struct {
    const char* label;
    Start start;
    std::function<void(QuietPollTest&)> act;
    std::function<bool(QuietPollTest&)> shown;
  } cases[] = {
      {"the Escape key stops a paused player",
       {two, 0, mpPaused},
       [](QuietPollTest& t) {
         QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(t.form.get(), &release);
       },
       [](QuietPollTest& t) {
         return t.Enabled("TB_Start") && !t.Enabled("TB_Stop") && t.form->State().TrayState() == 0;
       }},
      {"the toolbar resumes a paused player",
       {two, 0, mpPaused},
       [](QuietPollTest& t) { t.Button("TB_Start")->click(); },
       [](QuietPollTest& t) {
         return !t.Enabled("TB_Start") && t.Enabled("TB_Pause") && t.Timer()->isActive();
       }},
      {"a second entry in the list",
       {{" /m/a.wav"}, 0, mpStopped},
       [](QuietPollTest& t) { t.TheList().Add(" /m/b.wav"); },
       [](QuietPollTest& t) { return t.Enabled("TB_Next") && t.Enabled("TB_Prev"); }},
      {"continuous play switched on while stopped",
       {two, 0, mpStopped},
       [](QuietPollTest& t) { t.form->State().SetContinuousPlay(true); },
       [](QuietPollTest& t) {
         return t.TheList().ItemIndex() == 1 && t.failing.mode == mpPlaying;
       }},
      {"a hand-off file",
       {two, 0, mpStopped},
       [](QuietPollTest& t) {
         ASSERT_TRUE(WriteHandOffFileIn(t.programDir.path().toStdString(), "/m/c.wav", t.random));
       },
       [](QuietPollTest& t) {
         return t.Entries().size() == 3 && t.TheList().ItemIndex() == 2 &&
                t.failing.mode == mpPlaying && !t.Enabled("TB_Start");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Build(c.start);
    ASSERT_TRUE(GoesQuiet());
    c.act(*this);
    EXPECT_TRUE(WaitFor([&] { return c.shown(*this); }));
  }
}

} // namespace
