#include "rules/playlist_file.h"
#include "support/form_fixture.h"
#include "support/stuck_pipe.h"
#include "support/write_protect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using List = std::vector<QByteArray>;

class PlaylistCommandsTest : public FormTest {
protected:
  QString PathOf(const QString& name) const { return programDir.filePath(name); }

  QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(PathOf(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }

  QByteArray ReadFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
  }

  void Load(const QString& path) {
    dialogs.openAnswers.push_back({path});
    Action("loadlist1")->trigger();
  }

  void Save(const QString& path) {
    dialogs.saveAnswers.push_back(path);
    Action("savelist1")->trigger();
  }

  void SetModes(bool random, bool autoplay) {
    form->State().SetRandomPlay(random);
    form->State().SetContinuousPlay(autoplay);
  }

  void ExpectModes(bool random, bool autoplay) {
    EXPECT_EQ(Action("random1")->isChecked(), random);
    EXPECT_EQ(Button("TB_Random")->isChecked(), random);
    EXPECT_EQ(Action("autorepeat1")->isChecked(), autoplay);
    EXPECT_EQ(Button("TB_AutoPlay")->isChecked(), autoplay);
  }

  std::vector<std::string> Opens() {
    std::vector<std::string> opens;
    for (const std::string& call : TakeCalls())
      if (call.rfind("Open ", 0) == 0)
        opens.push_back(call);
    return opens;
  }
};

struct LoadCase {
  const char* name;
  QByteArray bytes;
  List entries;
  std::optional<int> selected; // none: a random draw chose it
  bool random;
  bool autoplay;
  std::vector<std::string> opens; // {"*"}: one open of a random draw
};

TEST_F(PlaylistCommandsTest, LoadReadsLinesFormsAndModes) {
  const QByteArray bom = "\xEF\xBB\xBF";
  const LoadCase cases[] = {
      {"CR LF", "a\r\n b\r\n", {" a", " b"}, 0, false, false, {}},
      {"LF", "a\nb\n", {" a", " b"}, 0, false, false, {}},
      {"lone CR", "a\rb", {" a", " b"}, 0, false, false, {}},
      {"LF CR", "a\n\rb\n", {" a", " b"}, 0, false, false, {}},
      {"no final line end", " a\r\n b", {" a", " b"}, 0, false, false, {}},
      {"zero byte", QByteArray(" a\r\n b\0 c\r\n", 11), {" a", " b"}, 0, false, false, {}},
      {"byte-order mark",
       bom + "<random>\r\n a",
       {" " + bom + "<random>", " a"},
       0,
       false,
       false,
       {}},
      {"both markers",
       "<random>\r\n<autoplay>\r\n a\r\n b\r\n",
       {"<random>", "<autoplay>", " a", " b"},
       std::nullopt,
       true,
       true,
       {"*"}},
      {"autoplay alone",
       "<autoplay>\r\n/m/a\r\n/m/b\r\n",
       {"<autoplay>", " /m/a", " /m/b"},
       1,
       false,
       true,
       {"Open /m/a"}},
      {"autoplay on line 5",
       "1\n2\n3\n4\n<autoplay>\n",
       {" 1", " 2", " 3", " 4", "<autoplay>"},
       1,
       false,
       true,
       {"Open 2"}},
      {"autoplay on line 6",
       "1\n2\n3\n4\n5\n<autoplay>\n",
       {" 1", " 2", " 3", " 4", " 5", "<autoplay>"},
       0,
       false,
       false,
       {}},
      {"random on line 3", "a\nb\n<random>\n", {" a", " b", "<random>"}, 0, true, false, {}},
      {"capital R", "<Random>\n a\n", {"<Random>", " a"}, 0, false, false, {}},
      {"star line", "*x.wav\n", {" *x.wav"}, 0, false, false, {}},
      {"angle line", "<gone.wav>\n", {"<gone.wav>"}, 0, false, false, {}},
      {"empty file", "", {}, -1, false, false, {}},
      {"empty lines", "a\r\n\r\n\r\nb\r\n", {" a", " b"}, 0, false, false, {}},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rebuild();
    Load(WriteFile("case.flist", c.bytes));
    EXPECT_EQ(Entries(), c.entries);
    if (c.selected) {
      EXPECT_EQ(TheList().ItemIndex(), *c.selected);
    }
    ExpectModes(c.random, c.autoplay);
    const std::vector<std::string> opens = Opens();
    if (c.opens == std::vector<std::string>{"*"}) {
      EXPECT_EQ(opens.size(), 1u);
    } else {
      EXPECT_EQ(opens, c.opens);
    }
    EXPECT_TRUE(errors.isEmpty());
  }
}

TEST_F(PlaylistCommandsTest, LoadTurnsModesOffAndLeavesThePlayerAndShuffleAlone) {
  SetList({" /m/playing.wav", "<random>", "<autoplay>"}, -1);
  SetModes(true, true);
  random.draws = {0};
  form->PlayStep(1);
  ASSERT_TRUE(form->State().Played(0));
  player.mode = mpPlaying;
  TakeCalls();

  Load(WriteFile("plain.flist", " /m/a.wav\r\n"));

  EXPECT_EQ(Entries(), List{" /m/a.wav"});
  ExpectModes(false, false);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(player.mode, mpPlaying);
  EXPECT_TRUE(form->State().Played(0));
  EXPECT_EQ(form->State().ShuffleSize(), 3);
}

TEST_F(PlaylistCommandsTest, SaveThenLoadBringsTheListAndModesBack) {
  const List list = {"<random>",    "<autoplay>",   " /m/a.wav",
                     "/m/bare.wav", "*/m/star.wav", "</m/failed.wav>"};
  SetList(list, 2);
  SetModes(true, true);
  const QString path = PathOf("saved.flist");

  Save(path);

  EXPECT_EQ(ReadFile(path), "<random>\r\n<autoplay>\r\n /m/a.wav\r\n/m/bare.wav\r\n*/m/star.wav\r\n"
                            "</m/failed.wav>\r\n");
  EXPECT_EQ(Entries(), list);
  EXPECT_EQ(TheList().ItemIndex(), 2);
  ExpectModes(true, true);
  EXPECT_TRUE(TakeCalls().empty());

  Rebuild();
  Load(path);
  EXPECT_EQ(Entries(), (List{"<random>", "<autoplay>", " /m/a.wav", " /m/bare.wav", " */m/star.wav",
                             "</m/failed.wav>"}));
  ExpectModes(true, true);
  EXPECT_EQ(Opens().size(), 1u);
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PlaylistCommandsTest, DialogsStartInTheProgramsDirectoryEveryTime) {
  for (int round = 0; round < 2; ++round) {
    Action("loadlist1")->trigger();
    Action("savelist1")->trigger();
  }
  ASSERT_EQ(dialogs.seen.size(), 4u);
  for (const FileDialogSetup& setup : dialogs.seen)
    EXPECT_EQ(setup.initialDirectory, programDir.path());
  for (const FileDialogSetup& setup : dialogs.seen) {
    EXPECT_EQ(setup.defaultSuffix, "txt");
    EXPECT_TRUE(setup.filter.startsWith("config file list (*.flist)"));
  }
  EXPECT_TRUE(dialogs.seen[1].confirmOverwrite);
}

TEST_F(PlaylistCommandsTest, AnEmptyListSavesAnEmptyFileOverTheOldOne) {
  const QString path = WriteFile("old.flist", "<random>\r\n a\r\n");
  Save(path);
  EXPECT_EQ(ReadFile(path), "");

  SetList({" x"}, 0);
  SetModes(true, true);
  Load(path);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(TheList().ItemIndex(), -1);
  ExpectModes(false, false);
  EXPECT_TRUE(Opens().empty());
}

TEST_F(PlaylistCommandsTest, AFileThatCannotBeOpenedChangesNothing) {
  QDir(programDir.path()).mkdir("folder.flist");
  for (const QString& name : {QString("missing.flist"), QString("folder.flist")}) {
    SCOPED_TRACE(name.toStdString());
    errors.clear();
    SetList({"<random>", " /m/a.wav"}, 1);
    SetModes(true, false);
    Load(PathOf(name));
    EXPECT_EQ(errors, QStringList{QString("ファイル %1 は開けません").arg(PathOf(name))});
    EXPECT_EQ(Entries(), (List{"<random>", " /m/a.wav"}));
    EXPECT_EQ(TheList().ItemIndex(), 1);
    ExpectModes(true, false);
  }
}

TEST_F(PlaylistCommandsTest, APipeOrADeviceIsRefusedAtOnceInsteadOfRead) {
  // Read, the pipe would block the window until fed; /dev/zero would never end.
  StuckPipe pipe(PathOf("pipe.flist"), " /m/from-the-pipe.wav\n");
  ASSERT_TRUE(pipe.Made());
  ASSERT_TRUE(QFile::link("/dev/zero", PathOf("zero.flist")));
  for (const QString& name : {QString("pipe.flist"), QString("zero.flist")}) {
    SCOPED_TRACE(name.toStdString());
    errors.clear();
    SetList({" /m/a.wav"}, 0);
    Load(PathOf(name));
    EXPECT_EQ(errors, QStringList{QString("ファイル %1 は開けません").arg(PathOf(name))});
    EXPECT_EQ(Entries(), List{" /m/a.wav"});
  }
}

TEST_F(PlaylistCommandsTest, AFileThatCannotBeCreatedChangesNothing) {
  WriteFile("plain", "not a directory");
  QDir(programDir.path()).mkdir("folder.flist");
  for (const QString& path :
       {PathOf("plain/list.flist"), PathOf("no/such/list.flist"), PathOf("folder.flist")}) {
    SCOPED_TRACE(path.toStdString());
    errors.clear();
    SetList({" /m/a.wav"}, 0);
    Save(path);
    EXPECT_EQ(errors, QStringList{QString("ファイル %1 を作成できません").arg(path)});
    EXPECT_EQ(Entries(), List{" /m/a.wav"});
    EXPECT_EQ(TheList().ItemIndex(), 0);
  }
  EXPECT_TRUE(QFileInfo(PathOf("folder.flist")).isDir());
  EXPECT_EQ(ReadFile(PathOf("plain")), "not a directory");
}

TEST_F(PlaylistCommandsTest, ASaveOverAPipeOrADeviceLeavesItAsItWas) {
  StuckPipe pipe(PathOf("pipe.flist"), {});
  ASSERT_TRUE(pipe.Made());
  struct {
    QString name;
    mode_t type;
  } targets[] = {{"pipe.flist", S_IFIFO}, {"null.flist", S_IFCHR}};
  // Only root may make a device node; elsewhere the pipe alone is tried.
  const bool device = mknod(QFile::encodeName(PathOf("null.flist")).constData(), S_IFCHR | 0666,
                            makedev(1, 3)) == 0;
  for (const auto& target : targets) {
    if (target.type == S_IFCHR && !device)
      continue;
    SCOPED_TRACE(target.name.toStdString());
    errors.clear();
    SetList({" /m/a.wav"}, 0);
    Save(PathOf(target.name));
    EXPECT_EQ(errors,
              QStringList{QString("ファイル %1 を作成できません").arg(PathOf(target.name))});
    struct stat status {};
    ASSERT_EQ(lstat(QFile::encodeName(PathOf(target.name)).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & S_IFMT, target.type) << "replaced by a plain file";
  }
}

// Lowers the largest file this process may write, so that a write fails
// part-way even for root; the signal that would end the process is ignored.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }

private:
  rlimit saved_{};
  sighandler_t savedHandler_;
};

TEST_F(PlaylistCommandsTest, ASaveThatFailsPartWayLeavesTheOldFileWhole) {
  const QByteArray old = "<autoplay>\r\n /m/kept.wav\r\n";
  const QString path = WriteFile("kept.flist", old);
  SetList(List(200, " /m/a-rather-long-name-that-makes-the-file-large.wav"), 0);
  {
    FileSizeLimit limit(1024);
    Save(path);
  }
  EXPECT_EQ(errors, QStringList{QString("ファイル %1 を作成できません").arg(path)});
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(QDir(programDir.path()).entryList(QDir::Files), QStringList{"kept.flist"});
}

TEST_F(PlaylistCommandsTest, AFolderThatTakesNoNewFileIsSavedIntoInPlaceOnlyWhenTheTextFits) {
  const QByteArray old = "<autoplay>\r\n /m/kept.wav\r\n";
  const QString path = WriteFile("kept.flist", old);
  DirectoryWriteProtection protection(programDir.path());
  if (!protection.Active())
    GTEST_SKIP() << "no way here to make a directory refuse new files";
  const List longList(200, " /m/a-rather-long-name-that-makes-the-file-large.wav");

  // The space is reserved before the old text is overwritten, so a limit
  // that the new text does not fit in leaves the old one whole.
  SetList(longList, 0);
  {
    FileSizeLimit limit(1024);
    Save(path);
  }
  EXPECT_EQ(errors, QStringList{QString("ファイル %1 を作成できません").arg(path)});
  EXPECT_EQ(ReadFile(path), old);

  errors.clear();
  Save(path);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(ReadFile(path), FormatPlaylist(longList));

  SetList({" /m/short.wav"}, 0);
  Save(path);
  EXPECT_EQ(ReadFile(path), " /m/short.wav\r\n") << "a shorter text leaves no tail of the old";
  EXPECT_EQ(QDir(programDir.path()).entryList(QDir::Files), QStringList{"kept.flist"});
}

} // namespace
