#include "platform/list_box.h"
#include "rules/entry_rules.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace {

using List = std::vector<QByteArray>;

struct CountCase {
  const char* edit;
  List start;
  std::function<void(Playlist&)> apply;
  int expected;
};

TEST(Playlist, TheCountOfPlayableEntriesFollowsEveryEdit) {
  const List mixed = {"<random>", "<autoplay>", " /m/a.wav", "<x.wav>"};
  const CountCase cases[] = {
      {"replace an entry with a marker", mixed, [](Playlist& l) { l.SetItem(2, "<random>"); }, 1},
      {"replace a marker with an entry", mixed, [](Playlist& l) { l.SetItem(0, " /m/b.wav"); }, 3},
      {"replace a marker with a marker", mixed, [](Playlist& l) { l.SetItem(0, "<autoplay>"); }, 2},
      {"mark a failed entry", mixed, [](Playlist& l) { l.SetItem(2, FailedForm(" /m/a.wav")); }, 2},
      {"a marker's failed form counts", mixed,
       [](Playlist& l) { l.SetItem(1, FailedForm("<autoplay>")); }, 3},
      {"insert a marker", mixed, [](Playlist& l) { l.Insert(0, "<random>"); }, 2},
      {"insert an entry at the end", mixed, [](Playlist& l) { l.Insert(4, " /m/c.wav"); }, 3},
      {"delete a marker", mixed, [](Playlist& l) { l.Delete(1); }, 2},
      {"delete an entry", mixed, [](Playlist& l) { l.Delete(2); }, 1},
      {"add one marker", mixed, [](Playlist& l) { l.Add("<autoplay>"); }, 2},
      {"append entries and markers", mixed,
       [](Playlist& l) {
         l.AddAll({"<random>", " /m/d.wav", "<Random>"});
       },
       4},
      {"append nothing", mixed, [](Playlist& l) { l.AddAll({}); }, 2},
      {"reset to new entries", mixed,
       [](Playlist& l) {
         l.SetItems({"<autoplay>", " /m/e.wav"});
       },
       1},
      {"clear", mixed, [](Playlist& l) { l.Clear(); }, 0},
      {"edits inside a batch", mixed,
       [](Playlist& l) {
         const Playlist::UpdateBatch batch(l);
         l.SetItem(0, " /m/f.wav");
         l.Delete(1);
         l.Insert(0, "<random>");
       },
       3},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.edit);
    Playlist list;
    list.LeaveUncounted(IsModeMarker);
    list.SetItems(c.start);
    c.apply(list);
    EXPECT_EQ(list.CountedItems(), c.expected);
    EXPECT_EQ(list.CountedItems(), CountPlayable(list.Items()));
  }
}

class ListBoxBatchTest : public ::testing::Test {
protected:
  ListBoxBatchTest() {
    List entries;
    for (int i = 0; i < 500; ++i)
      entries.push_back(" /m/" + QByteArray::number(i) + ".wav");
    list.SetItems(entries);
    view.Show(list);
    view.resize(200, 100);
    view.show();
    list.SetItemIndex(0);
  }
  bool Shown(int row) const {
    return view.viewport()->rect().contains(view.visualRect(list.Model().index(row, 0)));
  }
  int SelectedRow() const {
    const QModelIndexList rows = list.Selection().selectedIndexes();
    return rows.size() == 1 ? rows.first().row() : -1;
  }

  Playlist list;
  ListBox view;
};

TEST_F(ListBoxBatchTest, ChangesAndTheSelectionReachTheViewWhenTheBatchEnds) {
  QSignalSpy changes(&list.Model(), &QAbstractItemModel::dataChanged);
  {
    const Playlist::UpdateBatch batch(list);
    for (int row = 200; row < 400; ++row) {
      list.SetItemIndex(row);
      list.SetItem(row, FailedForm(list.Item(row)));
    }
    EXPECT_EQ(list.ItemIndex(), 399) << "the held selection is read back at once";
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(changes.count(), 0);
  }
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes[0][0].toModelIndex().row(), 200);
  EXPECT_EQ(changes[0][1].toModelIndex().row(), 399);
  EXPECT_EQ(list.Model().index(300, 0).data().toString(), "</m/300.wav>");
  EXPECT_EQ(SelectedRow(), 399);
  EXPECT_EQ(list.Selection().currentIndex().row(), 399);
  EXPECT_TRUE(Shown(399));

  // Selecting the entry that is already current still brings it into view.
  view.scrollToTop();
  {
    const Playlist::UpdateBatch batch(list);
    list.SetItemIndex(399);
  }
  EXPECT_TRUE(Shown(399));
}

TEST_F(ListBoxBatchTest, SelectionsThatEndClearedLeaveNothingSelected) {
  struct Case {
    const char* what;
    std::function<void(Playlist&)> apply;
    int current;
  };
  const Case cases[] = {
      {"selected, then cleared",
       [](Playlist& l) {
         l.SetItemIndex(450);
         l.SetItemIndex(-1);
       },
       450},
      {"selected past the end", [](Playlist& l) { l.SetItemIndex(500); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    list.SetItemIndex(0);
    view.scrollToTop();
    {
      const Playlist::UpdateBatch batch(list);
      c.apply(list);
      EXPECT_EQ(list.ItemIndex(), -1);
    }
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(list.Selection().currentIndex().row(), c.current);
    EXPECT_TRUE(Shown(c.current)) << "scrolled to the last entry selected";
  }
}

} // namespace
