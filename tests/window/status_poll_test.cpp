#include "platform/media_player.h"
#include "support/form_fixture.h"

namespace {

class StatusPollTest : public FormTest {
protected:
  std::array<std::pair<QAction*, QAbstractButton*>, 6> CommandPairs() const {
    return {{{Action("startplay1"), Button("TB_Start")},
             {Action("stopplay1"), Button("TB_Stop")},
             {Action("pauseplay1"), Button("TB_Pause")},
             {Action("nextfile1"), Button("TB_Next")},
             {Action("previousfile1"), Button("TB_Prev")},
             {Action("savelist1"), Button("TB_Save")}}};
  }

  // Enabled states of start, stop, pause, next, previous, save as "SsPNps"
  // letters ('-' for disabled), after checking that menu item and button agree.
  std::string Commands() {
    const auto pairs = CommandPairs();
    std::string states;
    const char letters[] = "SsPNpv";
    for (size_t i = 0; i < 6; ++i) {
      if (pairs[i].first->isEnabled() != pairs[i].second->isEnabled())
        return "menu and button disagree on " + std::string(1, letters[i]);
      states += pairs[i].first->isEnabled() ? letters[i] : '-';
    }
    return states;
  }
};

TEST_F(StatusPollTest, CommandsFollowTheListAndTheMode) {
  struct Case {
    std::vector<QByteArray> list;
    int selected;
    int mode;
    std::string before; // "" keeps the states of creation
    std::string after;
    int tray; // expected TrayState
  };
  const std::vector<QByteArray> one = {" a"}, two = {" a", "<x>"}, markers = {"<random>"};
  const Case cases[] = {
      // c = 0: start, stop, pause, next off; previous and save unchanged.
      {{}, -1, mpNotReady, "", "------", -1},
      {markers, 0, mpNotReady, "SsPNpv", "----pv", -1},
      {{}, -1, mpPlaying, "SsPNpv", "-sP-pv", -1},
      {{}, -1, mpStopped, "SsPNpv", "----pv", 0},
      // c = 1: next and previous off, save on.
      {one, 0, mpNotReady, "", "SsP--v", -1},
      {one, -1, mpNotReady, "------", "-----v", -1},
      {one, -1, mpNotReady, "SsPNp-", "SsP--v", -1},
      {one, 0, mpStopped, "", "S----v", 0},
      {one, 0, mpPlaying, "", "-sP--v", -1},
      {one, 0, mpPaused, "", "Ss---v", -1},
      {one, 0, mpOpen, "------", "SsP--v", -1},
      // c >= 2.
      {two, 1, mpNotReady, "", "SsPNpv", -1},
      {two, -1, mpSeeking, "------", "---Npv", -1},
      {two, -1, mpStopped, "------", "S--Npv", 0},
      {two, 0, mpPaused, "", "Ss-Npv", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.list.size() << " entries, selected " << c.selected
                                    << ", mode " << c.mode << ", before '" << c.before << "'");
    Rebuild();
    SetList(c.list, c.selected);
    if (!c.before.empty()) {
      const auto pairs = CommandPairs();
      for (size_t i = 0; i < 6; ++i) {
        pairs[i].first->setEnabled(c.before[i] != '-');
        pairs[i].second->setEnabled(c.before[i] != '-');
      }
    }
    player.mode = c.mode;
    player.open = c.mode != mpNotReady;
    form->Timer1Timer();
    if (c.before.empty() && c.list.empty()) {
      // Creation: menu items on, buttons off; c = 0 leaves previous and save alone.
      EXPECT_TRUE(Action("previousfile1")->isEnabled() && Action("savelist1")->isEnabled());
      EXPECT_FALSE(Button("TB_Prev")->isEnabled() || Button("TB_Save")->isEnabled());
      EXPECT_FALSE(Action("startplay1")->isEnabled() || Button("TB_Start")->isEnabled());
    } else {
      EXPECT_EQ(Commands(), c.after);
    }
    EXPECT_EQ(form->State().TrayState(), c.tray);
  }
}

TEST_F(StatusPollTest, TheBarShowsTheWholePercentage) {
  SetList({" a"}, 0);
  player.open = true;
  player.mode = mpPlaying;
  struct Case {
    std::int64_t position, length;
    int bar;
  };
  const Case cases[] = {{250, 1000, 25},
                        {999, 1000, 99},
                        {std::int64_t{3} << 31, std::int64_t{4} << 31, 75},
                        {500, 0, 75}};
  for (const Case& c : cases) {
    player.position = c.position;
    player.length = c.length;
    form->Timer1Timer();
    EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), c.bar)
        << c.position << " of " << c.length;
  }
  Action("pauseplay1")->setChecked(true);
  player.mode = mpPaused;
  form->Timer1Timer();
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 75);
  EXPECT_TRUE(Action("pauseplay1")->isChecked());
  player.mode = mpPlaying;
  form->Timer1Timer();
  EXPECT_FALSE(Action("pauseplay1")->isChecked());
  player.mode = mpStopped;
  form->Timer1Timer();
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(StatusPollTest, ContinuousPlayStartsTheNextEntryWhenStopped) {
  SetList({" /m/a.wav", " /m/b.wav"}, 0);
  player.open = true;
  player.mode = mpStopped;
  form->Timer1Timer();
  EXPECT_TRUE(TakeCalls() == std::vector<std::string>{"TrayModify Mellowdeck"});

  form->State().SetContinuousPlay(true);
  form->Timer1Timer();
  EXPECT_EQ(TheList().ItemIndex(), 1);
  EXPECT_EQ(player.mode, mpPlaying);
  player.mode = mpPaused;
  form->Timer1Timer();
  EXPECT_EQ(TheList().ItemIndex(), 1) << "a paused player is not stepped";
}

} // namespace
