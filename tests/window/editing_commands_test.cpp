#include "platform/qt_file_dialogs.h"
#include "support/form_fixture.h"
#include "support/wait.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

using List = std::vector<QByteArray>;

class EditingCommandsTest : public FormTest {};

TEST_F(EditingCommandsTest, AppendAddsBlankEntriesAndStepsOnlyInContinuousPlay) {
  const QString japanese = QString::fromUtf8("/m/日本語.mp3");
  const struct {
    const char* name;
    bool autoplay;
    QStringList answer; // empty: cancelled
    List entries;
    int selected;
    std::vector<std::string> calls;
  } cases[] = {
      {"continuous play off",
       false,
       {"/m/a.wav", japanese, "/m/x.wav"},
       {" /m/x.wav", " /m/y.wav", " /m/z.wav", " /m/a.wav", ' ' + japanese.toUtf8(), " /m/x.wav"},
       1,
       {}},
      {"continuous play on",
       true,
       {"/m/a.wav"},
       {" /m/x.wav", " /m/y.wav", " /m/z.wav", " /m/a.wav"},
       2,
       {"Open /m/z.wav", "Play"}},
      {"cancelled", true, {}, {" /m/x.wav", " /m/y.wav", " /m/z.wav"}, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rebuild();
    SetList({" /m/x.wav", " /m/y.wav", " /m/z.wav"}, 1);
    form->State().SetContinuousPlay(c.autoplay);
    dialogs.openAnswers = {c.answer};
    TakeCalls();

    Button("ToolButton1")->click();

    EXPECT_EQ(Entries(), c.entries);
    EXPECT_EQ(TheList().ItemIndex(), c.selected);
    std::vector<std::string> calls = TakeCalls();
    std::erase_if(calls, [](const std::string& call) { return call.rfind("Tray", 0) == 0; });
    EXPECT_EQ(calls, c.calls);
  }
}

TEST_F(EditingCommandsTest, RemoveDeletesOnlyTheSelectedEntry) {
  SetList({"<random>", " /m/a.wav", " /m/b.wav"}, 0);
  form->State().SetRandomPlay(true);
  player.mode = mpPlaying;
  TakeCalls();

  Action("removemusicfile1")->trigger();
  EXPECT_EQ(Entries(), (List{" /m/a.wav", " /m/b.wav"}));
  EXPECT_EQ(TheList().ItemIndex(), -1);
  EXPECT_TRUE(Action("random1")->isChecked());

  Action("removemusicfile1")->trigger();
  EXPECT_EQ(Entries(), (List{" /m/a.wav", " /m/b.wav"}));
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(player.mode, mpPlaying);
}

TEST_F(EditingCommandsTest, RemoveAllTurnsOnlyRandomPlayOff) {
  SetList({"<random>", "<autoplay>", " /m/a.wav"}, -1);
  form->State().SetRandomPlay(true);
  form->State().SetContinuousPlay(true);
  random.draws = {2};
  form->PlayStep(1);
  ASSERT_TRUE(form->State().Played(2));
  player.mode = mpPlaying;
  TakeCalls();

  Button("TB_New")->click();

  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(TheList().ItemIndex(), -1);
  EXPECT_FALSE(Action("random1")->isChecked());
  EXPECT_FALSE(Button("TB_Random")->isChecked());
  EXPECT_TRUE(Action("autorepeat1")->isChecked());
  EXPECT_TRUE(Button("TB_AutoPlay")->isChecked());
  EXPECT_TRUE(form->State().Played(2));
  EXPECT_EQ(form->State().ShuffleSize(), 3);
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(EditingCommandsTest, CopyIsOfferedOnlyWithASelection) {
  SetList({" /m/a.wav"}, -1);
  Widget<QMenu>("PopupMenu1")->popup({0, 0});
  EXPECT_FALSE(Action("copyto1")->isEnabled());
  EXPECT_TRUE(Action("removemusicfile1")->isEnabled());
  Widget<QMenu>("PopupMenu1")->hide();

  TheList().SetItemIndex(0);
  Widget<QMenu>("PopupMenu1")->popup({0, 0});
  EXPECT_TRUE(Action("copyto1")->isEnabled());
  Widget<QMenu>("PopupMenu1")->hide();
}

TEST_F(EditingCommandsTest, CopyPutsTheCopyTextOnTheClipboard) {
  const QByteArray longPath = '/' + QByteArray(149, 'p');
  const struct {
    QByteArray entry;
    QString clipboard;
  } cases[] = {
      {' ' + longPath, QString::fromLatin1(longPath.left(100))},
      {"</m/failed.wav>", "/m/failed.wav>"},
      {"<autoplay>", "autoplay>"},
      {' ' + QString::fromUtf8("/曲.mp3").toUtf8(), QString::fromUtf8("/曲.mp3")},
      {" ", "left alone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry.toStdString());
    QGuiApplication::clipboard()->setText("left alone");
    SetList({" /m/other.wav", c.entry}, 1);
    Action("copyto1")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.clipboard);
  }
}

// The real media dialog, answered the way a person would: it shows the names
// its filter matches, takes several chosen rows, and takes typed names of
// files that do not exist.
TEST_F(EditingCommandsTest, MediaDialogMatchesItsPatternsAndTakesAnyNames) {
  for (const char* name :
       {"a.wav", "tune.mid", "endswithwav", "b.mp3", "c.wma", "notes.txt", "movie.avi"}) {
    QFile file(programDir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QtFileDialogs real(form.get());
  Action("appendmusicfile1")->trigger();
  ASSERT_EQ(dialogs.seen.size(), 1u);
  FileDialogSetup setup = dialogs.seen[0];
  setup.initialDirectory = programDir.path();

  QStringList shown;
  const auto answer = [&](const std::function<void(QFileDialog&)>& choose) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* view = dialog->findChild<QAbstractItemView*>("listView");
      ASSERT_NE(view, nullptr);
      EXPECT_TRUE(WaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 5; }));
      shown.clear();
      for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
      choose(*dialog);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    // A dialog the test failed to answer must not block the run.
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    });
    rescue.start(10000);
    return real.OpenFiles(setup);
  };

  const std::optional<QStringList> picked = answer([](QFileDialog& dialog) {
    auto* view = dialog.findChild<QAbstractItemView*>("listView");
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
      const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
      if (index.data().toString().endsWith(".mp3") || index.data().toString().endsWith(".mid"))
        view->selectionModel()->select(index,
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  });
  shown.sort();
  EXPECT_EQ(shown, (QStringList{"a.wav", "b.mp3", "c.wma", "endswithwav", "tune.mid"}));
  ASSERT_TRUE(picked);
  QStringList sortedPicked = *picked;
  sortedPicked.sort();
  EXPECT_EQ(sortedPicked,
            (QStringList{programDir.filePath("b.mp3"), programDir.filePath("tune.mid")}));

  const std::optional<QStringList> typed = answer([](QFileDialog& dialog) {
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText("\"gone.wav\" \"also gone.mid\"");
  });
  ASSERT_TRUE(typed);
  EXPECT_EQ(*typed,
            (QStringList{programDir.filePath("gone.wav"), programDir.filePath("also gone.mid")}));

  const std::optional<QStringList> one = answer([](QFileDialog& dialog) {
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText("missing.wav");
  });
  ASSERT_TRUE(one);
  EXPECT_EQ(*one, QStringList{programDir.filePath("missing.wav")});
}

} // namespace
