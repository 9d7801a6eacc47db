#include "platform/error_box.h"
#include "platform/media_player.h"
#include "support/form_fixture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <functional>
#include <set>

namespace {

class PlayStepTest : public FormTest {
protected:
  static std::vector<QByteArray> Paths(int count) {
    std::vector<QByteArray> entries;
    for (int i = 0; i < count; ++i)
      entries.push_back(" /m/" + QByteArray::number(i) + ".wav");
    return entries;
  }
  void Modes(bool random, bool continuous) {
    form->State().SetRandomPlay(random);
    form->State().SetContinuousPlay(continuous);
  }
  void FailAll(int count) {
    for (int i = 0; i < count; ++i)
      player.failing.insert("/m/" + std::to_string(i) + ".wav");
  }
};

TEST_F(PlayStepTest, OrderedStepsWrapAround) {
  struct Case {
    int count, selected, step, expected;
  };
  const Case cases[] = {
      {0, -1, 0, -1}, {0, -1, 1, -1}, {0, -1, -1, -1}, {3, -1, 1, 0}, {3, -1, -1, 2},
      {3, 0, 1, 1},   {3, 0, -1, 2},  {3, 2, 1, 0},    {3, 2, -1, 1}, {3, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.count << " entries, selected " << c.selected << ", step " << c.step);
    SetList(Paths(c.count), c.selected);
    player.SetFileName("/m/before.wav");
    TakeCalls();
    EXPECT_TRUE(form->PlayStep(c.step));
    EXPECT_EQ(TheList().ItemIndex(), c.expected);
    // An empty list hands the player nothing: it keeps the name it had.
    const std::string opened =
        c.expected < 0 ? "/m/before.wav" : "/m/" + std::to_string(c.expected) + ".wav";
    EXPECT_EQ(player.FileName(), opened);
    const std::vector<std::string> calls = TakeCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Open " + opened), c.expected < 0 ? 0 : 1);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PlayStepTest, PlaysTheEntryAndShowsItsPositionAmongTheMarkers) {
  Modes(true, true);
  SetList({"<random>", "<autoplay>", " /music/a.mp3", "*/music/b.mp3", "<bad>"}, 1);
  Widget<QLabel>("StaticText1")->setText("old");
  EXPECT_FALSE(form->PlayStep(-1)); // lands on <random>
  EXPECT_EQ(Widget<QLabel>("StaticText1")->text(), "old");

  SetList({"<random>", "<autoplay>", " /music/a.mp3", "*/music/b.mp3", "<bad>"}, 2);
  EXPECT_TRUE(form->PlayStep(0));
  EXPECT_EQ(Widget<QLabel>("StaticText1")->text(), "1 / 3");
  EXPECT_EQ(form->State().CurrentTitle(), "a.mp3");
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck (a.mp3)",
                                                   "Open /music/a.mp3", "Play"}));
  TheList().SetItemIndex(3);
  EXPECT_TRUE(form->PlayStep(0));
  EXPECT_EQ(player.FileName(), "/music/b.mp3");
  EXPECT_EQ(Widget<QLabel>("StaticText1")->text(), "2 / 3");

  TheList().SetItemIndex(4);
  TakeCalls();
  EXPECT_FALSE(form->PlayStep(0));
  EXPECT_TRUE(TakeCalls().empty()) << "an unplayable entry opens nothing";
}

TEST_F(PlayStepTest, AFailedOpenMarksTheEntryAndShowsStopped) {
  SetList({" /m/x.wav", "/m/bare.wav"}, 0);
  player.failing = {"/m/x.wav", "/m/bare.wav"};
  EXPECT_FALSE(form->PlayStep(0));
  EXPECT_FALSE(form->PlayStep(1));
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{"</m/x.wav>", "<m/bare.wav>"}));
  EXPECT_EQ(TheList().ItemIndex(), 1);
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"TrayModify Mellowdeck (x.wav)", "Open /m/x.wav",
                                      "TrayModify Mellowdeck", "TrayModify Mellowdeck (bare.wav)",
                                      "Open /m/bare.wav", "TrayModify Mellowdeck"}));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Only the player's own failures mark an entry: a fault of the program
// reaches the error box, and the entry stays as it was.
TEST_F(PlayStepTest, AFaultThatIsNotTheMediasReachesTheErrorBoxAndMarksNothing) {
  const struct {
    const char* what;
    std::function<void(TForm1&)> reach;
  } ways[] = {
      {"a step", [](TForm1& window) { window.ListBox1DblClick(); }},
      {"a click on the entry", [](TForm1& window) { window.ListBox1Click(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    Rebuild();
    errors.clear();
    SetList({" /m/a.wav"}, 0);
    player.broken = {"/m/a.wav"};
    Guarded([&] { way.reach(*form); });
    EXPECT_EQ(Entries()[0], " /m/a.wav");
    EXPECT_EQ(errors, QStringList{"a fault of the program's own with /m/a.wav"});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
}

TEST_F(PlayStepTest, AGoodOpenThatDoesNotStartIsNoFailure) {
  SetList({" /m/a.wav"}, 0);
  player.error = 263;
  EXPECT_TRUE(form->PlayStep(0));
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"TrayModify Mellowdeck (a.wav)", "Open /m/a.wav"}));
  EXPECT_EQ(Entries()[0], " /m/a.wav");
}

TEST_F(PlayStepTest, ContinuousPlayRetriesPastFailingEntriesInOrder) {
  Modes(false, true);
  SetList(Paths(8), 2);
  player.failing = {"/m/3.wav", "/m/4.wav", "/m/5.wav"};
  EXPECT_FALSE(form->PlayStep(1));
  EXPECT_EQ(TheList().ItemIndex(), 6);
  EXPECT_EQ(Entries()[3], "</m/3.wav>");
  EXPECT_EQ(Entries()[5], "</m/5.wav>");
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{
                "TrayModify Mellowdeck (3.wav)", "Open /m/3.wav", "TrayModify Mellowdeck",
                "TrayModify Mellowdeck (4.wav)", "Open /m/4.wav", "TrayModify Mellowdeck",
                "TrayModify Mellowdeck (5.wav)", "Open /m/5.wav", "TrayModify Mellowdeck",
                "TrayModify Mellowdeck (6.wav)", "Open /m/6.wav", "Play"}));
  EXPECT_EQ(Widget<QLabel>("StaticText1")->text(), "6 / 8");
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PlayStepTest, TenThousandFailingEntriesDoNotExhaustTheStack) {
  Modes(false, true);
  SetList(Paths(10000), -1);
  FailAll(10000);
  EXPECT_FALSE(form->PlayStep(1));
  const auto calls = TakeCalls();
  EXPECT_EQ(calls.size(), 30000u);
  EXPECT_EQ(calls[29998], "Open /m/9999.wav");
  for (const QByteArray& entry : Entries())
    ASSERT_TRUE(entry.startsWith("</m/") && entry.endsWith(".wav>")) << entry.toStdString();
  EXPECT_EQ(TheList().ItemIndex(), 0) << "wrapped onto the first marked entry";
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // The same in random play, where every retry is a nested draw.
  Rebuild();
  Modes(true, true);
  SetList(Paths(2000), -1);
  FailAll(2000);
  form->PlayStep(1);
  for (const QByteArray& entry : Entries())
    ASSERT_TRUE(entry.startsWith('<')) << entry.toStdString();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PlayStepTest, AfterARunOfFailuresTheListShowsTheMarksAndTheEntryLeftPlaying) {
  Modes(false, true);
  SetList(Paths(3000), 0);
  form->show();
  QCoreApplication::processEvents();
  for (int i = 1; i < 2500; ++i)
    player.failing.insert("/m/" + std::to_string(i) + ".wav");
  EXPECT_FALSE(form->PlayStep(1));

  ListBox& list = *ListView();
  const QModelIndex playing = list.model()->index(2500, 0);
  EXPECT_EQ(list.selectionModel()->selectedIndexes(), QModelIndexList{playing});
  EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(playing)));
  EXPECT_EQ(list.model()->index(2499, 0).data().toString(), "</m/2499.wav>");
  EXPECT_EQ(Widget<QLabel>("StaticText1")->text(), "2500 / 3000");
}

// A list of up to 2009 entries is covered whole; from 2010 entries on, the
// first 2006 positions are.
TEST_F(PlayStepTest, ShuffleDrawsEveryCoveredPositionOncePerCycle) {
  const struct {
    int count, shuffleSize;
  } cases[] = {{1, 1}, {7, 7}, {2009, 2009}, {2010, 2006}, {2500, 2006}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    Rebuild();
    Modes(true, false);
    SetList(Paths(c.count), -1);
    std::set<int> drawn;
    for (int i = 0; i < c.shuffleSize; ++i) {
      EXPECT_TRUE(form->PlayStep(1));
      EXPECT_TRUE(drawn.insert(TheList().ItemIndex()).second)
          << "drawn twice: " << TheList().ItemIndex();
    }
    EXPECT_EQ(form->State().ShuffleSize(), c.shuffleSize);
    EXPECT_EQ(int(drawn.size()), c.shuffleSize);
    EXPECT_EQ(*drawn.begin(), 0);
    EXPECT_EQ(*drawn.rbegin(), c.shuffleSize - 1);
  }
}

TEST_F(PlayStepTest, ANewCycleTurnsStarEntriesIntoBlankEntries) {
  Modes(true, false);
  SetList({"*/m/a.wav", "*/m/b.wav", "/m/c.wav"}, -1);
  for (int i = 0; i < 3; ++i)
    form->PlayStep(1);
  EXPECT_EQ(Entries()[0], "*/m/a.wav") << "no reset within the first cycle";
  form->PlayStep(1);
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/a.wav", " /m/b.wav", "/m/c.wav"}));
}

TEST_F(PlayStepTest, RandomStepsOnListsWithNothingToPlay) {
  Modes(true, true);
  SetList({}, -1);
  EXPECT_TRUE(form->PlayStep(1)) << "an empty list raises no index error";
  EXPECT_TRUE(form->PlayStep(1));
  EXPECT_EQ(TheList().ItemIndex(), -1);

  SetList({"<random>", "<autoplay>"}, -1);
  EXPECT_FALSE(form->PlayStep(1));
  // The next step starts a new cycle; its fallback position lies past the end.
  EXPECT_TRUE(form->PlayStep(1));
  EXPECT_EQ(TheList().ItemIndex(), -1);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PlayStepTest, RandomPlayWithContinuousPlayGoesOnDrawingAfterAFailure) {
  Modes(true, true);
  SetList(Paths(4), -1);
  player.failing = {"/m/1.wav"};
  // Within one second every step draws the same sequence from its start.
  // 5 % 4 = 1 fails; the retry passes over 1 again (9) and opens 6 % 4 = 2;
  // a retry ends its step with false, so the first step draws on, to 3.
  random.clock = 1700000000;
  random.draws = {5, 9, 6, 3};
  EXPECT_TRUE(form->PlayStep(1));
  EXPECT_EQ(Entries()[1], "</m/1.wav>");
  EXPECT_EQ(TheList().ItemIndex(), 3);
  EXPECT_EQ(player.mode, mpPlaying);
  EXPECT_EQ(random.seeds, std::vector<unsigned>{1700000000});
  std::vector<std::string> opens;
  for (const std::string& call : TakeCalls())
    if (call.starts_with("Open "))
      opens.push_back(call);
  EXPECT_EQ(opens, (std::vector<std::string>{"Open /m/1.wav", "Open /m/2.wav", "Open /m/3.wav"}));

  // The next step of the same second walks past all three to the one left.
  EXPECT_TRUE(form->PlayStep(1));
  EXPECT_EQ(TheList().ItemIndex(), 0);
  EXPECT_EQ(form->State().CurrentTitle(), "0.wav");
}

} // namespace
