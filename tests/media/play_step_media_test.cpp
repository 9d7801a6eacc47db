#include "Mdkmain.h"
#include "platform/gst_media_player.h"
#include "support/fakes.h"
#include "support/find_widget.h"
#include "support/wait.h"

#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The window stepping through a list on the real media engine: the sample
// plays to its end, the poll sees it stop, and a missing file is marked.
TEST(PlayStepOnTheMediaEngine, PlaysTheSampleToItsEndAndMarksAMissingFile) {
  QTemporaryDir programDir;
  CallLog log;
  GstMediaPlayer player;
  RecordingTrayShell tray{log};
  ScriptedDialogs dialogs;
  ScriptedRandom random;
  TForm1 form({.player = player,
               .tray = tray,
               .dialogs = dialogs,
               .random = random,
               .programDirectory = programDir.path(),
               .pollsByItself = false});
  const QByteArray sample = MDK_SOURCE_DIR "/samples/mellow-chime.wav";
  form.State().List().SetItems({' ' + sample, " /nonexistent/missing.wav"});
  form.State().List().SetItemIndex(0);

  ASSERT_TRUE(form.PlayStep(0));
  EXPECT_EQ(form.State().CurrentTitle(), "mellow-chime.wav");
  EXPECT_EQ(tray.tip, "Mellowdeck (mellow-chime.wav)");
  ASSERT_TRUE(WaitFor([&] { return player.Position() > 300; }, 5000));
  form.Timer1Timer();
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_GT(FindIn<QProgressBar>(form, "ProgressBar1")->value(), 0);
  EXPECT_FALSE(FindIn<QToolButton>(form, "TB_Start")->isEnabled());
  EXPECT_TRUE(FindIn<QToolButton>(form, "TB_Stop")->isEnabled());

  ASSERT_TRUE(WaitFor([&] { return player.Mode() == mpStopped; }, 10000));
  form.Timer1Timer();
  EXPECT_EQ(form.State().TrayState(), 0);
  EXPECT_EQ(FindIn<QProgressBar>(form, "ProgressBar1")->value(), 0);
  EXPECT_TRUE(FindIn<QToolButton>(form, "TB_Start")->isEnabled());

  EXPECT_FALSE(form.PlayStep(1));
  EXPECT_EQ(form.State().List().Item(1), "</nonexistent/missing.wav>");
  EXPECT_EQ(player.Mode(), mpNotReady);
  EXPECT_EQ(form.State().TrayState(), 0);
}

} // namespace
