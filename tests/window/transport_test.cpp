#include "platform/media_player.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

class TransportTest : public FormTest {
protected:
  bool RandomOn() const {
    EXPECT_EQ(Action("random1")->isChecked(), Button("TB_Random")->isChecked());
    return Action("random1")->isChecked();
  }
  bool ContinuousOn() const {
    EXPECT_EQ(Action("autorepeat1")->isChecked(), Button("TB_AutoPlay")->isChecked());
    return Action("autorepeat1")->isChecked();
  }
};

TEST_F(TransportTest, StartResumesOrStepsForward) {
  SetList({" /m/a.wav", " /m/b.wav", " /m/c.wav"}, -1);
  form->startplay1Click();
  EXPECT_EQ(TheList().ItemIndex(), 0);
  form->pauseplay1Click();
  form->pauseplay1Click(); // a paused player is not resumed by pause
  form->startplay1Click();
  EXPECT_EQ(TheList().ItemIndex(), 0);
  EXPECT_EQ(player.mode, mpPlaying);
  form->startplay1Click();
  EXPECT_EQ(TheList().ItemIndex(), 1) << "start never replays the selected entry";
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck (a.wav)", "Open /m/a.wav",
                                                   "Play", "Pause", "TrayModify Mellowdeck (a.wav)",
                                                   "TrayModify Mellowdeck (a.wav)", "Play",
                                                   "Open /m/b.wav", "Play"}));
}

TEST_F(TransportTest, NextAndPreviousStopFirst) {
  SetList({" /m/a.wav", " /m/b.wav"}, 0);
  form->PlayStep(0);
  TakeCalls();
  form->previousfile1Click();
  EXPECT_EQ(TheList().ItemIndex(), 1);
  form->nextfile1Click();
  EXPECT_EQ(TheList().ItemIndex(), 0);
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{
                             "TrayModify Mellowdeck", "Stop", "TrayModify Mellowdeck (b.wav)",
                             "Open /m/b.wav", "Play", "TrayModify Mellowdeck", "Stop",
                             "TrayModify Mellowdeck (a.wav)", "Open /m/a.wav", "Play"}));
}

TEST_F(TransportTest, TogglesPlaceAndRemoveTheirMarkers) {
  SetList({" /m/a.wav", " /m/b.wav"}, 1);
  form->random1Click();
  EXPECT_TRUE(RandomOn());
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{"<random>", " /m/a.wav", " /m/b.wav"}));
  EXPECT_EQ(TheList().ItemIndex(), 2) << "the selection follows its entry";
  EXPECT_TRUE(TakeCalls().empty()) << "random play on plays nothing";

  form->automaticplay1Click();
  EXPECT_TRUE(ContinuousOn());
  EXPECT_EQ(Entries()[1], "<autoplay>");
  EXPECT_EQ(player.mode, mpPlaying) << "continuous play on starts the next entry";

  form->stopplay1Click();
  EXPECT_FALSE(ContinuousOn());
  EXPECT_EQ(player.mode, mpStopped);
  EXPECT_EQ(Entries()[1], "<autoplay>") << "stop leaves the marker";

  form->automaticplay1Click();
  EXPECT_EQ(Entries()[1], "<autoplay>");
  EXPECT_EQ(Entries()[2], "<autoplay>");
  form->automaticplay1Click();
  TheList().SetItemIndex(0);
  form->random1Click();
  EXPECT_FALSE(RandomOn() || ContinuousOn());
  EXPECT_EQ(TheList().ItemIndex(), -1) << "a deleted marker leaves nothing selected";
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/a.wav", " /m/b.wav"}));
}

TEST_F(TransportTest, RandomOnClearsTheFlagsOfTheLastShuffle) {
  form->State().SetRandomPlay(true);
  SetList({" /m/a.wav", " /m/b.wav", " /m/c.wav"}, -1);
  form->PlayStep(1);
  form->PlayStep(1);
  EXPECT_EQ(PlayedCount(), 2);
  form->random1Click();
  EXPECT_EQ(PlayedCount(), 2) << "random play off leaves the flags";
  EXPECT_EQ(form->State().ShuffleSize(), 3);
  form->random1Click();
  EXPECT_EQ(PlayedCount(), 0);
}

TEST_F(TransportTest, ContinuousPlayOnInAListEmptiedByHand) {
  form->State().SetRandomPlay(true);
  SetList({}, -1);
  form->automaticplay1Click();
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{"<autoplay>"}));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TransportTest, AListClickOpensOnlyWhenIdle) {
  SetList({" /m/a.wav", "*/m/star.wav", "<random>", " /m/bad.wav"}, 0);
  player.failing = {"/m/bad.wav", "*/m/star.wav"};
  form->ListBox1Click();
  EXPECT_EQ(player.mode, mpStopped);

  TheList().SetItemIndex(1);
  form->ListBox1Click();
  EXPECT_EQ(Entries()[1], "</m/star.wav>") << "the click opens the name with its star";

  TheList().SetItemIndex(2);
  form->ListBox1Click();
  EXPECT_EQ(TheList().ItemIndex(), -1) << "a marker clears the selection";

  TheList().SetItemIndex(3);
  form->ListBox1Click();
  EXPECT_EQ(Entries()[3], "</m/bad.wav>");
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"Open /m/a.wav", "Open */m/star.wav", "Open /m/bad.wav"}));

  for (int busy : {mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen}) {
    player.mode = busy;
    TheList().SetItemIndex(0);
    form->ListBox1Click();
    EXPECT_TRUE(TakeCalls().empty()) << "mode " << busy;
  }
}

TEST_F(TransportTest, EscStopsThePlayerDirectly) {
  SetList({" /m/a.wav"}, 0);
  const auto releaseEsc = [this] {
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &release);
  };
  releaseEsc();
  EXPECT_EQ(errors.size(), 1) << "Stop with nothing open shows the player's error";
  form->PlayStep(0);
  form->State().SetContinuousPlay(true);
  TakeCalls();
  releaseEsc();
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"Stop"}));
  EXPECT_TRUE(Action("autorepeat1")->isChecked()) << "Esc leaves continuous play on";
}

TEST_F(TransportTest, DoubleClickStopsAndPlaysTheEntry) {
  SetList({" /m/a.wav", " /m/b.wav"}, 0);
  form->PlayStep(0);
  TheList().SetItemIndex(1);
  TakeCalls();
  form->ListBox1DblClick();
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"TrayModify Mellowdeck", "Stop",
                                      "TrayModify Mellowdeck (b.wav)", "Open /m/b.wav", "Play"}));
}

} // namespace
