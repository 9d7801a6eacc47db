#include "playback/player_state.h"
#include "rules/entry_rules.h"
#include "support/fakes.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Change = PlayerState::Change;

std::vector<Change> Announced(QSignalSpy& spy) {
  std::vector<Change> changes;
  for (const QList<QVariant>& signal : spy)
    changes.push_back(signal[0].value<Change>());
  spy.clear();
  return changes;
}

// Whoever follows the state hears of each change once, and of nothing that
// did not change, however many entries a step runs through.
TEST(PlayerState, AnnouncesEachChangeOnce) {
  ScriptedRandom random;
  PlayerState state(random);
  state.List().SetItems({" /m/a.wav", " /m/b.wav", " /m/c.wav"});
  QSignalSpy spy(&state, &PlayerState::Changed);

  const struct {
    const char* what;
    std::function<void()> act;
    std::vector<Change> expected;
  } cases[] = {
      {"random play on", [&] { state.SetRandomPlay(true); }, {Change::Modes}},
      {"random play on again", [&] { state.SetRandomPlay(true); }, {}},
      {"continuous play on", [&] { state.SetContinuousPlay(true); }, {Change::Modes}},
      {"playing", [&] { state.SetTrayState(1); }, {Change::Playing}},
      {"playing again", [&] { state.SetTrayState(1); }, {}},
      {"a title", [&] { state.SetCurrentMedia("/m/a.wav", "a.wav"); }, {Change::Title}},
      {"the same title", [&] { state.SetCurrentMedia("/m/a.wav", "a.wav"); }, {}},
      {"another file of the same name",
       [&] { state.SetCurrentMedia("/n/a.wav", "a.wav"); },
       {Change::Title}},
      {"an entry added", [&] { state.List().Add(" /m/d.wav"); }, {Change::List}},
      {"an entry selected", [&] { state.List().SetItemIndex(2); }, {Change::List}},
      {"a selection made in a view",
       [&] {
         state.List().Selection().select(state.List().Model().index(0, 0),
                                         QItemSelectionModel::ClearAndSelect);
       },
       {Change::List}},
      {"a run of marks and selections in one batch",
       [&] {
         const Playlist::UpdateBatch batch(state.List());
         for (int i = 0; i < state.List().Count(); ++i) {
           state.List().SetItemIndex(i);
           state.List().SetItem(i, FailedForm(state.List().Item(i)));
         }
       },
       {Change::List}},
      {"the selected entry deleted", [&] { state.List().Delete(0); }, {Change::List}},
      {"the list cleared", [&] { state.List().Clear(); }, {Change::List}},
      {"nothing changed in a batch", [&] { const Playlist::UpdateBatch batch(state.List()); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.act();
    EXPECT_EQ(Announced(spy), c.expected);
  }
}

class ShuffleTest : public ::testing::Test {
protected:
  ShuffleTest() {
    random.clock = 7;
    state.List().SetItems({" /m/0.wav", "</m/1.wav>", " /m/2.wav", "*/m/3.wav"});
  }
  std::vector<int> PlayedPositions() const {
    std::vector<int> played;
    for (int position = 0; position < state.ShuffleSize(); ++position)
      if (state.Played(position))
        played.push_back(position);
    return played;
  }

  ScriptedRandom random;
  PlayerState state{random};
};

TEST_F(ShuffleTest, DrawsPassOverPlayedAndUnplayablePositionsToAPlayableOne) {
  random.draws = {1, 2, 6, 0};
  EXPECT_EQ(state.BeginRandomStep(), 0) << "nothing played yet: the fallback is the first position";
  EXPECT_EQ(state.ShuffleSize(), 4);
  EXPECT_EQ(random.seeds, std::vector<unsigned>{7});

  int tries = 10;
  ASSERT_TRUE(state.DrawPlayable(tries));
  EXPECT_EQ(tries, 8) << "the failed entry at 1 cost a try and was flagged";
  EXPECT_EQ(state.List().ItemIndex(), 2);
  EXPECT_EQ(PlayedPositions(), (std::vector<int>{1, 2}));

  // The same second replays the same values: 1 and 2 are flagged, 6 % 4 = 2
  // is flagged too, and 0 is the next to play.
  EXPECT_EQ(state.BeginRandomStep(), 0);
  tries = 10;
  ASSERT_TRUE(state.DrawPlayable(tries));
  EXPECT_EQ(state.List().ItemIndex(), 0);
  EXPECT_EQ(tries, 6);
  EXPECT_EQ(random.seeds, std::vector<unsigned>{7}) << "one seed for steps within one second";
}

TEST_F(ShuffleTest, RunningOutOfTriesFallsBackAndAFullCycleStartsAnew) {
  random.draws = {1, 1, 1};
  state.BeginRandomStep();
  int tries = 3;
  EXPECT_FALSE(state.DrawPlayable(tries));
  EXPECT_EQ(tries, 0);
  state.FallBackTo(0);
  EXPECT_EQ(state.List().ItemIndex(), 0);
  EXPECT_EQ(PlayedPositions(), (std::vector<int>{0, 1}));

  for (int position : {2, 3})
    state.FallBackTo(position);
  random.clock = 8;
  EXPECT_EQ(state.BeginRandomStep(), 4) << "every position played: past the end";
  EXPECT_TRUE(PlayedPositions().empty());
  EXPECT_EQ(state.List().Item(3), " /m/3.wav") << "a new cycle resets the starred entry";

  state.ForgetPlayed();
  EXPECT_EQ(state.ShuffleSize(), 4) << "forgetting keeps the cover";
}

} // namespace
