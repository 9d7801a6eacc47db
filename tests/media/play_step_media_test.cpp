#include "Mdkmain.h"
#include "platform/gst_media_player.h"
#include "support/fakes.h"
#include "support/wait.h"

#include <QTemporaryDir>
#include <QTimer>
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
  TForm1 form({player, tray, dialogs, random, programDir.path(), {}});
  form.Timer1->stop();
  const QByteArray sample = MDK_SOURCE_DIR "/samples/mellow-chime.wav";
  form.ListBox1->SetItems({' ' + sample, " /nonexistent/missing.wav"});
  form.ListBox1->SetItemIndex(0);

  ASSERT_TRUE(form.PlayStep(0));
  EXPECT_EQ(form.CurrentTitle, "mellow-chime.wav");
  EXPECT_EQ(tray.tip, "Mellowdeck (mellow-chime.wav)");
  ASSERT_TRUE(WaitFor([&] { return player.Position() > 300; }, 5000));
  form.Timer1Timer();
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_GT(form.ProgressBar1->value(), 0);
  EXPECT_FALSE(form.TB_Start->isEnabled());
  EXPECT_TRUE(form.TB_Stop->isEnabled());

  ASSERT_TRUE(WaitFor([&] { return player.Mode() == mpStopped; }, 10000));
  form.Timer1Timer();
  EXPECT_EQ(form.TrayState, 0);
  EXPECT_EQ(form.ProgressBar1->value(), 0);
  EXPECT_TRUE(form.TB_Start->isEnabled());

  EXPECT_FALSE(form.PlayStep(1));
  EXPECT_EQ(form.ListBox1->Item(1), "</nonexistent/missing.wav>");
  EXPECT_EQ(player.Mode(), mpNotReady);
  EXPECT_EQ(form.TrayState, 0);
}

} // namespace
