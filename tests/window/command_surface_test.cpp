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
    form->ListBox1->setFocus();
    ASSERT_TRUE(form->ListBox1->hasFocus());
  }
  void Playing(int selected) {
    SetList(kThree, selected);
    form->PlayStep(0);
    TakeCalls();
  }
  QPoint Row(int row) const {
    return form->ListBox1->visualRect(form->ListBox1->model()->index(row, 0)).center();
  }
  // The press, release, double-click and release that a double-click is.
  void DoubleClickRow(int row) {
    QWidget* rows = form->ListBox1->viewport();
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
using Item = QAction* Ui::TForm1::*;
using Button = QToolButton* Ui::TForm1::*;

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
Step Press(Button button) {
  return [button](CommandSurfaceTest& t) {
    // Enabling is the status poll's business; here the button is pressable.
    (t.form.get()->*button)->setEnabled(true);
    (t.form.get()->*button)->click();
  };
}
Step Choose(Item item) {
  return [item](CommandSurfaceTest& t) { (t.form.get()->*item)->trigger(); };
}
Step Key(int key, Qt::KeyboardModifiers modifiers = {}) {
  return [key, modifiers](CommandSurfaceTest& t) {
    QTest::keyClick(t.form->ListBox1, Qt::Key(key), modifiers);
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
Step WatchingItemWithListFocus(Item item) {
  return [item](CommandSurfaceTest& t) {
    ShownWithEntries(t);
    t.fired = std::make_unique<QSignalSpy>(t.form.get()->*item, &QAction::triggered);
  };
}
void ItemFired(CommandSurfaceTest& t) {
  ASSERT_TRUE(t.fired);
  EXPECT_EQ(t.fired->count(), 1);
}

void PlaysFirst(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpPlaying);
  EXPECT_EQ(t.form->ListBox1->ItemIndex(), 0);
}
void Paused(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpPaused);
  EXPECT_TRUE(t.form->pauseplay1->isChecked());
}
void Stopped(CommandSurfaceTest& t) {
  EXPECT_EQ(t.player.mode, mpStopped);
}
Step Plays(int index, const char* file) {
  return [index, file](CommandSurfaceTest& t) {
    EXPECT_EQ(t.form->ListBox1->ItemIndex(), index);
    EXPECT_EQ(t.player.mode, mpPlaying);
    EXPECT_EQ(t.player.FileName(), file);
  };
}
// A click opens the entry without playing it.
Step Opens(int index, const char* file) {
  return [index, file](CommandSurfaceTest& t) {
    EXPECT_EQ(t.form->ListBox1->ItemIndex(), index);
    EXPECT_EQ(t.TakeCalls(), std::vector<std::string>{std::string("Open ") + file});
  };
}
void RandomOn(CommandSurfaceTest& t) {
  EXPECT_EQ(t.Entries().front(), "<random>");
  EXPECT_TRUE(t.form->random1->isChecked() && t.form->TB_Random->isChecked());
}
void ContinuousOn(CommandSurfaceTest& t) {
  const auto entries = t.Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "<autoplay>"), entries.end());
  EXPECT_TRUE(t.form->autorepeat1->isChecked() && t.form->TB_AutoPlay->isChecked());
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
Step MenuOpen(QMenu* TForm1::*menu) {
  return [menu](CommandSurfaceTest& t) { EXPECT_TRUE((t.form.get()->*menu)->isVisible()); };
}

std::vector<Way> Ways() {
  std::vector<Way> ways;
  auto both = [&ways](const std::string& command, Button button, Item item, Step arrange,
                      Step expect) {
    ways.push_back({command + "_Button", arrange, Press(button), expect});
    ways.push_back({command + "_MenuItem", arrange, Choose(item), expect});
  };
  both("Start", &Ui::TForm1::TB_Start, &Ui::TForm1::startplay1, ThreeEntries, PlaysFirst);
  both("Pause", &Ui::TForm1::TB_Pause, &Ui::TForm1::pauseplay1, PlayingFirst, Paused);
  both("Stop", &Ui::TForm1::TB_Stop, &Ui::TForm1::stopplay1, PlayingFirst, Stopped);
  both("Previous", &Ui::TForm1::TB_Prev, &Ui::TForm1::previousfile1, PlayingSecond,
       Plays(0, "/m/a.wav"));
  both("Next", &Ui::TForm1::TB_Next, &Ui::TForm1::nextfile1, PlayingSecond, Plays(2, "/m/c.wav"));
  both("Random", &Ui::TForm1::TB_Random, &Ui::TForm1::random1, ThreeEntries, RandomOn);
  both("Continuous", &Ui::TForm1::TB_AutoPlay, &Ui::TForm1::autorepeat1, ThreeEntries,
       ContinuousOn);
  both("NewList", &Ui::TForm1::TB_New, &Ui::TForm1::removeall1, ThreeEntries, ListEmpty);
  both("Append", &Ui::TForm1::ToolButton1, &Ui::TForm1::appendmusicfile1, ThreeEntries,
       DialogAsked);
  both("Load", &Ui::TForm1::TB_Load, &Ui::TForm1::loadlist1, ThreeEntries, DialogAsked);
  both("Save", &Ui::TForm1::TB_Save, &Ui::TForm1::savelist1, ThreeEntries, DialogAsked);
  ways.push_back(
      {"Remove_MenuItem", PlayingSecond, Choose(&Ui::TForm1::removemusicfile1), SecondRemoved});
  ways.push_back({"Copy_MenuItem", PlayingSecond, Choose(&Ui::TForm1::copyto1), SecondCopied});
  ways.push_back({"HideMode_Button", Shown, Press(&Ui::TForm1::ninja), IsHidden});
  ways.push_back(
      {"OpenMainWindows_MenuItem", Hidden, Choose(&Ui::TForm1::Openmainwindows1), IsShown});

  ways.push_back({"Insert_Key", WatchingItemWithListFocus(&Ui::TForm1::appendmusicfile1),
                  Key(Qt::Key_Insert), ItemFired});
  ways.push_back({"Delete_Key", WatchingItemWithListFocus(&Ui::TForm1::removemusicfile1),
                  Key(Qt::Key_Delete), ItemFired});
  ways.push_back({"CtrlDelete_Key", WatchingItemWithListFocus(&Ui::TForm1::removeall1),
                  Key(Qt::Key_Delete, Qt::ControlModifier), ItemFired});
  ways.push_back({"F1_Key", WatchingItemWithListFocus(&Ui::TForm1::aboutandmanual1),
                  Key(Qt::Key_F1), ItemFired});
  ways.push_back({"Delete_KeyWithTheListMenuOpen",
                  WatchingItemWithListFocus(&Ui::TForm1::removemusicfile1),
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.form->ListBox1->viewport(), t.Row(0));
                    ASSERT_TRUE(t.form->PopupMenu1->isVisible());
                    QTest::keyClick(t.form->PopupMenu1, Qt::Key_Delete);
                  },
                  ItemFired});
  ways.push_back(
      {"Escape_ReleasedInTheList",
       [](CommandSurfaceTest& t) {
         t.Playing(0);
         t.ShowWithListFocus();
       },
       [](CommandSurfaceTest& t) { QTest::keyRelease(t.form->ListBox1, Qt::Key_Escape); },
       Stopped});

  ways.push_back({"DoubleClick_Entry", ShownWithEntries,
                  [](CommandSurfaceTest& t) { t.DoubleClickRow(1); }, Plays(1, "/m/b.wav")});
  ways.push_back({"Click_Entry", ShownWithEntries,
                  [](CommandSurfaceTest& t) {
                    QTest::mouseClick(t.form->ListBox1->viewport(), Qt::LeftButton, {}, t.Row(2));
                  },
                  Opens(2, "/m/c.wav")});
  ways.push_back({"ArrowDown_Entry", ShownWithEntries, Key(Qt::Key_Down), Opens(1, "/m/b.wav")});

  ways.push_back(
      {"RightClick_List", ShownWithEntries,
       [](CommandSurfaceTest& t) { t.RightClick(t.form->ListBox1->viewport(), t.Row(1)); },
       MenuOpen(&TForm1::PopupMenu1)});
  ways.push_back({"RightClick_Banner", Shown,
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.form->Image1, {20, 20});
                  },
                  MenuOpen(&TForm1::PopupMenu2)});
  ways.push_back({"RightClick_StatusBand", Shown,
                  [](CommandSurfaceTest& t) {
                    t.RightClick(t.form->ProgressBar1, {20, 5});
                  },
                  MenuOpen(&TForm1::PopupMenu2)});
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
  for (QToolButton* button :
       {form->TB_Save, form->TB_Start, form->TB_Pause, form->TB_Stop, form->TB_Prev, form->TB_Next})
    EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
  for (QToolButton* button : {form->TB_New, form->TB_Load, form->ToolButton1, form->TB_Random,
                              form->TB_AutoPlay, form->ninja})
    EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
  EXPECT_FALSE(form->TB_Random->isChecked() || form->TB_AutoPlay->isChecked());
  for (QMenu* menu : {form->PopupMenu1, form->PopupMenu2})
    for (QAction* item : menu->actions()) {
      EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
      EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
    }
  EXPECT_TRUE(form->StaticText1->text().isEmpty());
  EXPECT_EQ(form->ProgressBar1->minimum(), 0);
  EXPECT_EQ(form->ProgressBar1->maximum(), 100);
  EXPECT_EQ(form->ProgressBar1->value(), 0);
}

TEST_F(CommandSurfaceTest, OnlyTheUsersSelectionsRunTheClickHandler) {
  ShownWithEntries(*this);
  form->ListBox1->SetItemIndex(1);
  form->ListBox1->Insert(0, " /m/new.wav");
  form->ListBox1->Delete(0);
  EXPECT_TRUE(TakeCalls().empty()) << "the program's own selections run nothing";

  QTest::mouseClick(form->ListBox1->viewport(), Qt::RightButton, {}, Row(2));
  QTest::mouseClick(form->ListBox1->viewport(), Qt::MiddleButton, {}, Row(2));
  EXPECT_EQ(form->ListBox1->ItemIndex(), 1) << "only the left button selects";
  EXPECT_TRUE(TakeCalls().empty());

  QTest::keyClick(form->ListBox1, Qt::Key_Up);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Open /m/a.wav"});
  QTest::keyClick(form->ListBox1, Qt::Key_Up);
  EXPECT_TRUE(TakeCalls().empty()) << "a key that moves nothing selects nothing";
}

TEST_F(CommandSurfaceTest, TheReleaseEndingADoubleClickIsNoSecondClick) {
  player.failing = {"/m/b.wav"};
  ShownWithEntries(*this);
  DoubleClickRow(1);
  EXPECT_EQ(Entries()[1], "</m/b.wav>");
  EXPECT_EQ(form->ListBox1->ItemIndex(), 1) << "a click after the double-click deselects the mark";
}

} // namespace
