#include "platform/media_player.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

namespace {

const std::vector<QByteArray> kThree{" /m/a.wav", " /m/b.wav", " /m/c.wav"};

class CommandSurfaceTest : public FormTest {
public:
  using FormTest::dialogs;
  using FormTest::Entries;
  using FormTest::form;
  using FormTest::player;
  using FormTest::SetList;
  using FormTest::TakeCalls;

  // On screen and active, with the keyboard focus in the list.
  void ShowWithListFocus() {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ListView()->setFocus();
    ASSERT_TRUE(ListView()->hasFocus());
  }
  void Playing(int selected) {
    SetList(kThree, selected);
    form->PlayStep(0);
    TakeCalls();
  }
  QPoint Row(int row) const {
    return ListView()->visualRect(ListView()->model()->index(row, 0)).center();
  }
  // The press, release, double-click and release that a double-click is.
  void DoubleClickRow(int row) {
    QWidget* rows = ListView()->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, Row(row));
    QTest::mouseDClick(rows, Qt::LeftButton, {}, Row(row));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, Row(row));
  }
  void RightClick(QWidget* widget, QPoint at) {
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &request);
  }

  std::unique_ptr<QSignalSpy> fired;
};

using Step = std::function<void(CommandSurfaceTest&)>;
// Menu items and buttons by their names in the window.
using ItemName = const char*;
using ButtonName = const char*;

struct Way {
  std::string name;
  Step arrange;
  Step act;
  Step expect;
};

void PrintTo(const Way& way, std::ostream* out) {
  *out << way.name;
}

// How a command is reached.
Step Press(ButtonName button) {
  return [button](CommandSurfaceTest& t) {
    // Enabling is the status poll's business; here the button is pressable.
    t.Button(button)->setEnabled(true);
    t.Button(button)->click();
  };
}
Step Choose(ItemName item) {
  return [item](CommandSurfaceTest& t) { t.Action(item)->trigger(); };
}
Step Key(int key, Qt::KeyboardModifiers modifiers = {}) {
  return [key, modifiers](CommandSurfaceTest& t) {
    QTest::keyClick(t.ListView(), Qt::Key(key), modifiers);
  };
}

// The states a command starts from.
void ThreeEntries(CommandSurfaceTest& t) {
  t.SetList(kThree, -1);
}
void PlayingFirst(CommandSurfaceTest& t) {
  t.Playing(0);
}
void PlayingSecond(CommandSurfaceTest& t) {
  t.Playing(1);
}
void Shown(CommandSurfaceTest& t) {
  t.form->show();
}
void Hidden(CommandSurfaceTest& t) {
  t.form->show();
  t.form->hide();
}
void ShownWithEntries(CommandSurfaceTest& t) {
  t.SetList(kThree, 0);
  t.ShowWithListFocus();
}
// For the commands whose handlers live elsewhere: the key reaches the item.
Step WatchingItemWithListFocus(ItemName item) {
  return [item](CommandSurfaceTest& t) {
    ShownWithEntries(t);
    t.fired = std::make_unique<QSignalSpy>(t.Action(item), &QAction::triggered);
  };
}
void ItemFired(CommandSurfaceTest& t) {
  ASSERT_TRUE(t.fired);
  EXPECT_EQ(t.fired->count(), 1);
}

void PlaysFirst(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpPlaying);
  EXPECT_EQ(t.TheList().ItemIndex(), 0);
}
void Paused(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpPaused);
  EXPECT_TRUE(t.Action("pauseplay1")->isChecked());
}
void Stopped(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpStopped);
}
Step Plays(int index, const char* file) {
  return [index, file](CommandSurfaceTest& t) {
    EXPECT_EQ(t.TheList().ItemIndex(), index);
    EXPECT_EQ(t.player.mode, mpPlaying);
    EXPECT_EQ(t.player.FileName(), file);
  };
}
// A click opens the entry without playing it.
Step Opens(int index, const char* file) {
  return [index, file](CommandSurfaceTest& t) {
    EXPECT_EQ(t.TheList().ItemIndex(), index);
    EXPECT_EQ(t.TakeCalls(), std::vector<std::string>{std::string("Open ") + file});
  };
}
void RandomOn(CommandSurfaceTest& t) {
  EXPECT_EQ(t.Entries().front(), "<random>");
  EXPECT_TRUE(t.Action("random1")->isChecked() && t.Button("TB_Random")->isChecked());
}
void ContinuousOn(CommandSurfaceTest& t) {
  const auto entries = t.Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "<autoplay>"), entries.end());
  EXPECT_TRUE(t.Action("autorepeat1")->isChecked() && t.Button("TB_AutoPlay")->isChecked());
}
void ListEmpty(CommandSurfaceTest& t) {
  EXPECT_TRUE(t.Entries().empty());
}
void DialogAsked(CommandSurfaceTest& t) {
  EXPECT_EQ(t.dialogs.seen.size(), 1u);
}
void SecondRemoved(CommandSurfaceTest& t) {
  EXPECT_EQ(t.Entries(), (std::vector<QByteArray>{" /m/a.wav", " /m/c.wav"}));
}
void SecondCopied(CommandSurfaceTest&) {
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "/m/b.wav");
}
void IsHidden(CommandSurfaceTest& t) {
  EXPECT_FALSE(t.form->isVisible());
}
void IsShown(CommandSurfaceTest& t) {
  EXPECT_TRUE(t.form->isVisible());
}
Step MenuOpen(const char* menu) {
  return [menu](CommandSurfaceTest& t) { EXPECT_TRUE(t.Widget<QMenu>(menu)->isVisible()); };
}

std::vector<Way> Ways() {
  std::vector<Way> ways;
  auto both = [&ways](const std::string& command, ButtonName button, ItemName item, Step arrange,
                      Step expect) {
    ways.push_back({command + "_Button", arrange, Press(button), expect});
    ways.push_back({command + "_MenuItem", arrange, Choose(item), expect});
  };
  both("Start", "TB_Start", "startplay1", ThreeEntries, PlaysFirst);
  both("Pause", "TB_Pause", "pauseplay1", PlayingFirst, Paused);
  both("Stop", "TB_Stop", "stopplay1", PlayingFirst, Stopped);
  both("Previous", "TB_Prev", "previousfile1", PlayingSecond, Plays(0, "/m/a.wav"));
  both("Next", "TB_Next", "nextfile1", PlayingSecond, Plays(2, "/m/c.wav"));
  both("Random", "TB_Random", "random1", ThreeEntries, RandomOn);
  both("Continuous", "TB_AutoPlay", "autorepeat1", ThreeEntries, ContinuousOn);
  both("NewList", "TB_New", "removeall1", ThreeEntries, ListEmpty);
  both("Append", "ToolButton1", "appendmusicfile1", ThreeEntries, DialogAsked);
  both("Load", "TB_Load", "loadlist1", ThreeEntries, DialogAsked);
  both("Save", "TB_Save", "savelist1", ThreeEntries, DialogAsked);
  ways.push_back({"Remove_MenuItem", PlayingSecond, Choose("removemusicfile1"), SecondRemoved});
  ways.push_back({"Copy_MenuItem", PlayingSecond, Choose("copyto1"), SecondCopied});
  ways.push_back({"HideMode_Button", Shown, Press("ninja"), IsHidden});
  ways.push_back({"OpenMainWindows_MenuItem", Hidden, Choose("Openmainwindows1"), IsShown});

  ways.push_back({"Insert_Key", WatchingItemWithListFocus("appendmusicfile1"), Key(Qt::Key_Insert),
                  ItemFired});
  ways.push_back({"Delete_Key", WatchingItemWithListFocus("removemusicfile1"), Key(Qt::Key_Delete),
                  ItemFired});
  ways.push_back({"CtrlDelete_Key", WatchingItemWithListFocus("removeall1"),
                  Key(Qt::Key_Delete, Qt::ControlModifier), ItemFired});
  ways.push_back(
      {"F1_Key", WatchingItemWithListFocus("aboutandmanual1"), Key(Qt::Key_F1), ItemFired});
  ways.push_back({"Delete_KeyWithTheListMenuOpen", WatchingItemWithListFocus("removemusicfile1"),
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.ListView()->viewport(), t.Row(0));
                    ASSERT_TRUE(t.Widget<QMenu>("PopupMenu1")->isVisible());
                    QTest::keyClick(t.Widget<QMenu>("PopupMenu1"), Qt::Key_Delete);
                  },
                  ItemFired});
  ways.push_back({"Escape_ReleasedInTheList",
                  [](CommandSurfaceTest& t) {
                    t.Playing(0);
                    t.ShowWithListFocus();
                  },
                  [](CommandSurfaceTest& t) { QTest::keyRelease(t.ListView(), Qt::Key_Escape); },
                  Stopped});

  ways.push_back({"DoubleClick_Entry", ShownWithEntries,
                  [](CommandSurfaceTest& t) { t.DoubleClickRow(1); }, Plays(1, "/m/b.wav")});
  ways.push_back({"Click_Entry", ShownWithEntries,
                  [](CommandSurfaceTest& t) {
                    QTest::mouseClick(t.ListView()->viewport(), Qt::LeftButton, {}, t.Row(2));
                  },
                  Opens(2, "/m/c.wav")});
  ways.push_back({"ArrowDown_Entry", ShownWithEntries, Key(Qt::Key_Down), Opens(1, "/m/b.wav")});

  ways.push_back({"RightClick_List", ShownWithEntries,
                  [](CommandSurfaceTest& t) { t.RightClick(t.ListView()->viewport(), t.Row(1)); },
                  MenuOpen("PopupMenu1")});
  ways.push_back({"RightClick_Banner", Shown,
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.Widget<QLabel>("Image1"), {20, 20});
                  },
                  MenuOpen("PopupMenu2")});
  ways.push_back({"RightClick_StatusBand", Shown,
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.Widget<QProgressBar>("ProgressBar1"), {20, 5});
                  },
                  MenuOpen("PopupMenu2")});
  return ways;
}

class CommandTable : public CommandSurfaceTest, public ::testing::WithParamInterface<Way> {};

TEST_P(CommandTable, ReachesItsHandler) {
  const Way& way = GetParam();
  way.arrange(*this);
  TakeCalls();
  way.act(*this);
  way.expect(*this);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTable, ::testing::ValuesIn(Ways()),
                         [](const auto& info) { return info.param.name; });

TEST_F(CommandSurfaceTest, StatesAtCreation) {
  for (QToolButton* button : {Button("TB_Save"), Button("TB_Start"), Button("TB_Pause"),
                              Button("TB_Stop"), Button("TB_Prev"), Button("TB_Next")})
    EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
  for (QToolButton* button : {Button("TB_New"), Button("TB_Load"), Button("ToolButton1"),
                              Button("TB_Random"), Button("TB_AutoPlay"), Button("ninja")})
    EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
  EXPECT_FALSE(Button("TB_Random")->isChecked() || Button("TB_AutoPlay")->isChecked());
  for (QMenu* menu : {Widget<QMenu>("PopupMenu1"), Widget<QMenu>("PopupMenu2")})
    for (QAction* item : menu->actions()) {
      EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
      EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
    }
  EXPECT_TRUE(Widget<QLabel>("StaticText1")->text().isEmpty());
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->minimum(), 0);
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->maximum(), 100);
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(CommandSurfaceTest, OnlyTheUsersSelectionsRunTheClickHandler) {
  ShownWithEntries(*this);
  TheList().SetItemIndex(1);
  TheList().Insert(0, " /m/new.wav");
  TheList().Delete(0);
  EXPECT_TRUE(TakeCalls().empty()) << "the program's own selections run nothing";

  QTest::mouseClick(ListView()->viewport(), Qt::RightButton, {}, Row(2));
  QTest::mouseClick(ListView()->viewport(), Qt::MiddleButton, {}, Row(2));
  EXPECT_EQ(TheList().ItemIndex(), 1) << "only the left button selects";
  EXPECT_TRUE(TakeCalls().empty());

  QTest::keyClick(ListView(), Qt::Key_Up);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Open /m/a.wav"});
  QTest::keyClick(ListView(), Qt::Key_Up);
  EXPECT_TRUE(TakeCalls().empty()) << "a key that moves nothing selects nothing";
}

TEST_F(CommandSurfaceTest, TheReleaseEndingADoubleClickIsNoSecondClick) {
  player.failing = {"/m/b.wav"};
  ShownWithEntries(*this);
  DoubleClickRow(1);
  EXPECT_EQ(Entries()[1], "</m/b.wav>");
  EXPECT_EQ(TheList().ItemIndex(), 1) << "a click after the double-click deselects the mark";
}

} // namespace
