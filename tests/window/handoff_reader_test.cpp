#include "platform/mdk_error.h"
#include "support/form_fixture.h"
#include "support/write_protect.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Also records the current directory at each open, where a relative name
// is resolved.
class DirectoryRecordingPlayer : public RecordingMediaPlayer {
public:
  using RecordingMediaPlayer::RecordingMediaPlayer;
  std::vector<std::pair<std::string, QString>> opens;
  void Open() override {
    opens.emplace_back(FileName(), QDir::currentPath());
    RecordingMediaPlayer::Open();
  }
};

// Restores the test process's current directory.
class CurrentDirectoryGuard {
public:
  CurrentDirectoryGuard() : saved_(QDir::currentPath()) {}
  ~CurrentDirectoryGuard() { QDir::setCurrent(saved_); }

private:
  QString saved_;
};

class HandOffReaderTest : public FormTest {
protected:
  HandOffReaderTest() {
    form = std::make_unique<TForm1>(FormPlatform{.player = openPlayer,
                                                 .tray = tray,
                                                 .dialogs = dialogs,
                                                 .random = random,
                                                 .programDirectory = programDir.path(),
                                                 .handOffDirectories = {extraDir.path()},
                                                 .pollsByItself = false});
    // The window replaced here closed its player on the way out.
    TakeCalls();
  }
  ~HandOffReaderTest() override { form.reset(); }

  static void Drop(const QString& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir + '/' + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static QStringList FilesIn(const QString& dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  }
  std::vector<std::string> PlayerCalls() {
    std::vector<std::string> calls = TakeCalls();
    std::erase_if(calls, [](const std::string& call) { return call.starts_with("Tray"); });
    return calls;
  }

  QTemporaryDir extraDir;
  DirectoryRecordingPlayer openPlayer{log};
};

TEST_F(HandOffReaderTest, EachFileStopsThePlayBeforeItAndTheLastStaysSelectedAndPlaying) {
  SetList({"/m/x.wav"}, 0);
  form->PlayStep(0);
  Drop(programDir.path(), "mdk_tmp1.tmp", "/m/a.wav");
  Drop(programDir.path(), "mdk_tmp22.tmp", "/m/b.wav");
  Drop(programDir.path(), "mdk_tmp.tmp", "/m/c.wav");
  Drop(extraDir.path(), "mdk_tmp4.tmp", "/m/d.wav");
  TakeCalls();

  form->Timer1Timer();

  const std::vector<QByteArray> entries = Entries();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0], "/m/x.wav");
  // The program's directory in listing order, then the extra directory.
  EXPECT_TRUE(
      std::is_permutation(entries.begin() + 1, entries.begin() + 4,
                          std::vector<QByteArray>{"/m/a.wav", "/m/b.wav", "/m/c.wav"}.begin()));
  EXPECT_EQ(entries[4], "/m/d.wav");
  std::vector<std::string> expected;
  for (int i = 1; i < 5; ++i)
    expected.insert(expected.end(), {"Stop", "Open " + entries[size_t(i)].toStdString(), "Play"});
  EXPECT_EQ(PlayerCalls(), expected);
  EXPECT_EQ(TheList().ItemIndex(), 4);
  EXPECT_EQ(openPlayer.mode, mpPlaying);
  EXPECT_TRUE(FilesIn(programDir.path()).isEmpty());
  EXPECT_TRUE(FilesIn(extraDir.path()).isEmpty());
}

TEST_F(HandOffReaderTest, LeavesAloneWhatIsNotAHandOffFile) {
  const QString dir = programDir.path();
  ASSERT_TRUE(QDir(dir).mkdir("mdk_tmp1.tmp"));
  Drop(dir, ".mdk_tmp2.tmp", "/m/hidden.wav");
  Drop(dir, "other3.tmp", "/m/other.wav");
  Drop(dir, "mdk_tmp4.txt", "/m/text.wav");
  Drop(dir, "target", "/m/target.wav");
  ASSERT_EQ(symlink("target", QFile::encodeName(dir + "/mdk_tmp5.tmp").constData()), 0);
  // A pipe would block a reader that opened it like a file.
  ASSERT_EQ(mkfifo(QFile::encodeName(dir + "/mdk_tmp6.tmp").constData(), 0600), 0);
  const QStringList before = FilesIn(dir);

  form->ReadHandOffFiles();

  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(PlayerCalls().empty());
  EXPECT_EQ(FilesIn(dir), before);
}

TEST_F(HandOffReaderTest, TheEntryIsTheFilesTextUpToItsLimitOrAFirstNul) {
  const struct {
    const char* label;
    QByteArray content;
    std::vector<QByteArray> entries;
  } cases[] = {
      {"long", QByteArray(600, 'a'), {QByteArray(511, 'a')}},
      {"nul inside", QByteArray("/m/a.wav\0/m/b.wav", 17), {"/m/a.wav"}},
      {"verbatim bytes", " /m/\x82\xa0 b.wav \r\n", {" /m/\x82\xa0 b.wav \r\n"}},
      {"empty", "", {}},
      {"nul first", QByteArray("\0/m/a.wav", 9), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SetList({});
    TakeCalls();
    Drop(programDir.path(), "mdk_tmp7.tmp", c.content);

    form->ReadHandOffFiles();

    EXPECT_EQ(Entries(), c.entries);
    EXPECT_TRUE(FilesIn(programDir.path()).isEmpty());
    if (c.entries.empty()) {
      EXPECT_TRUE(PlayerCalls().empty()) << "nothing to play: nothing is stopped";
    }
  }
}

TEST_F(HandOffReaderTest, ARelativeNamePlaysFromTheProgramDirectoryAndTheCallersComesBack) {
  CurrentDirectoryGuard restore;
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  Drop(programDir.path(), "mdk_tmp1.tmp", "clip.wav");

  form->ReadHandOffFiles();

  ASSERT_EQ(openPlayer.opens.size(), 1u);
  EXPECT_EQ(openPlayer.opens[0].first, "clip.wav");
  EXPECT_EQ(openPlayer.opens[0].second, QFileInfo(programDir.path()).canonicalFilePath());
  EXPECT_EQ(QDir::currentPath(), QFileInfo(elsewhere.path()).canonicalFilePath());
}

TEST_F(HandOffReaderTest, AnErrorEndsTheScanInTheCallersDirectoryAndTheRestWaits) {
  CurrentDirectoryGuard restore;
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  Drop(programDir.path(), "mdk_tmp1.tmp", "/m/a.wav");
  Drop(programDir.path(), "mdk_tmp2.tmp", "/m/b.wav");
  // Playing with nothing open: stopping it fails.
  openPlayer.mode = mpPlaying;

  EXPECT_THROW(form->ReadHandOffFiles(), MdkError);
  EXPECT_EQ(QDir::currentPath(), QFileInfo(elsewhere.path()).canonicalFilePath());
  ASSERT_EQ(FilesIn(programDir.path()).size(), 1);

  openPlayer.mode = mpNotReady;
  form->ReadHandOffFiles();
  EXPECT_EQ(Entries().size(), 1u);
  EXPECT_TRUE(FilesIn(programDir.path()).isEmpty());
}

TEST_F(HandOffReaderTest, AFileThatCannotBeDeletedIsTakenOnce) {
  Drop(extraDir.path(), "mdk_tmp1.tmp", "/m/a.wav");
  DirectoryWriteProtection protection(extraDir.path());
  if (!protection.Active())
    GTEST_SKIP() << "no way here to make a directory refuse deletions";

  form->Timer1Timer();
  form->Timer1Timer();
  form->Timer1Timer();

  EXPECT_EQ(Entries(), std::vector<QByteArray>{"/m/a.wav"});
  EXPECT_EQ(FilesIn(extraDir.path()), QStringList{"mdk_tmp1.tmp"});
}

TEST_F(HandOffReaderTest, PartFilesLeftByKilledLaunchesGoFreshOnesStay) {
  // Last written two minutes ago, as by a launch killed before it linked.
  const auto age = [](const QString& path) {
    const timespec twoMinutesAgo{std::time(nullptr) - 120, 0};
    const timespec times[] = {twoMinutesAgo, twoMinutesAgo};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
  };
  for (const QString& dir : {programDir.path(), extraDir.path()}) {
    Drop(dir, ".mdk_part_old123", "/m/killed.wav");
    age(dir + "/.mdk_part_old123");
    Drop(dir, ".mdk_part_new456", "/m/being-written.wav");
  }

  form->ReadHandOffFiles();

  for (const QString& dir : {programDir.path(), extraDir.path()}) {
    EXPECT_EQ(FilesIn(dir), QStringList{".mdk_part_new456"}) << dir.toStdString();
  }
  EXPECT_TRUE(Entries().empty());

  // The directories were cleared just now: the next scans, a second apart,
  // leave the listing alone.
  age(programDir.filePath(".mdk_part_new456"));
  form->ReadHandOffFiles();
  EXPECT_EQ(FilesIn(programDir.path()), QStringList{".mdk_part_new456"});
}

} // namespace
