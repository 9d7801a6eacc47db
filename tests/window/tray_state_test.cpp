#include "platform/media_player.h"
#include "support/form_fixture.h"

namespace {

using TrayStateTest = FormTest;

TEST_F(TrayStateTest, StartsWithTheApplicationIconAndCallsOncePerChange) {
  form->FormCreate({});
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayAdd Mellowdeck"}));
  EXPECT_FALSE(tray.icon.isNull());
  EXPECT_EQ(form->TrayState, -1);

  player.mode = mpStopped;
  for (int tick = 0; tick < 3; ++tick)
    form->Timer1Timer();
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck"}));
  EXPECT_EQ(tray.icon.cacheKey(), form->StateIcons[0].cacheKey());
}

TEST_F(TrayStateTest, PauseAndResumeShowTheTitle) {
  SetList({" /m/song.ogg"}, 0);
  form->PlayStep(0);
  form->pauseplay1Click();
  EXPECT_EQ(tray.tip, "Mellowdeck (song.ogg)");
  EXPECT_EQ(tray.icon.cacheKey(), form->StateIcons[2].cacheKey());
  EXPECT_TRUE(form->pauseplay1->isChecked());
  form->startplay1Click();
  EXPECT_EQ(tray.icon.cacheKey(), form->StateIcons[1].cacheKey());
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"TrayModify Mellowdeck (song.ogg)", "Open /m/song.ogg",
                                      "Play", "Pause", "TrayModify Mellowdeck (song.ogg)",
                                      "TrayModify Mellowdeck (song.ogg)", "Play"}));
}

TEST_F(TrayStateTest, ARepeatedStateKeepsTheOldTitle) {
  SetList({" /m/first.wav", " /m/second.wav"}, 0);
  form->PlayStep(0);
  form->PlayStep(1);
  EXPECT_EQ(tray.tip, "Mellowdeck (first.wav)");
  EXPECT_EQ(form->CurrentTitle, "second.wav");
}

TEST_F(TrayStateTest, LongTitlesAreCutTo127BytesOnAWholeCharacter) {
  form->CurrentTitle = QByteArray(200, 'n');
  EXPECT_EQ(form->TrayTip(1), "Mellowdeck (" + QByteArray(115, 'n'));
  EXPECT_EQ(form->TrayTip(0), "Mellowdeck");
  // "Mellowdeck (" is 12 bytes; three-byte characters leave 115 = 38 * 3 + 1.
  form->CurrentTitle = QString(60, QChar(0x66F2)).toUtf8();
  EXPECT_EQ(form->TrayTip(2).size(), 12 + 38 * 3);
}

} // namespace
