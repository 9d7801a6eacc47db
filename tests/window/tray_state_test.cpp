#include "platform/media_player.h"
#include "support/form_fixture.h"
#include "tray/tray_icons.h"
#include "tray/tray_tip.h"

namespace {

// Whether the tray shows the icon of the program's resources by this name.
bool Shows(const QIcon& icon, const char* name) {
  return icon.pixmap(32).toImage() ==
         LoadIconResource(QString::fromLatin1(name)).pixmap(32).toImage();
}

using TrayStateTest = FormTest;

TEST_F(TrayStateTest, StartsWithTheApplicationIconAndCallsOncePerChange) {
  form->FormCreate({});
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayAdd Mellowdeck"}));
  EXPECT_FALSE(tray.icon.isNull());
  EXPECT_EQ(form->State().TrayState(), -1);

  player.mode = mpStopped;
  for (int tick = 0; tick < 3; ++tick)
    form->Timer1Timer();
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck"}));
  EXPECT_TRUE(Shows(tray.icon, "ICON1"));
}

TEST_F(TrayStateTest, PauseAndResumeShowTheTitle) {
  form->FormCreate({});
  TakeCalls();
  SetList({" /m/song.ogg"}, 0);
  form->PlayStep(0);
  form->pauseplay1Click();
  EXPECT_EQ(tray.tip, "Mellowdeck (song.ogg)");
  EXPECT_TRUE(Shows(tray.icon, "ICON3"));
  EXPECT_TRUE(Action("pauseplay1")->isChecked());
  form->startplay1Click();
  EXPECT_TRUE(Shows(tray.icon, "icon2"));
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
  EXPECT_EQ(form->State().CurrentTitle(), "second.wav");
}

TEST(TrayTip, LongTitlesAreCutTo127BytesOnAWholeCharacter) {
  EXPECT_EQ(TrayTip(1, QByteArray(200, 'n')), "Mellowdeck (" + QByteArray(115, 'n'));
  EXPECT_EQ(TrayTip(0, QByteArray(200, 'n')), "Mellowdeck");
  // "Mellowdeck (" is 12 bytes; three-byte characters leave 115 = 38 * 3 + 1.
  EXPECT_EQ(TrayTip(2, QString(60, QChar(0x66F2)).toUtf8()).size(), 12 + 38 * 3);
}

} // namespace
