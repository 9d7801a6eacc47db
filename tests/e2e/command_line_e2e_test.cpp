#include "support/media_fixtures.h"
#include "support/program_fixture.h"
#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <sys/resource.h>

namespace {

class CommandLineEndToEnd : public ProgramTest {
protected:
  // Whether the process holds path open, as a player does the file it plays.
  static bool HoldsOpen(qint64 pid, const QString& path) {
    std::error_code error;
    const std::filesystem::path wanted = QFile::encodeName(path).toStdString();
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error))
      if (std::filesystem::read_symlink(fd.path(), error) == wanted)
        return true;
    return false;
  }
};

TEST_F(CommandLineEndToEnd, HelpAndVersionPrintAndEndWithZeroWhetherACopyRunsOrNot) {
  const struct {
    QStringList arguments;
    bool help;
  } cases[] = {
      {{"--help"}, true},
      {{"-h"}, true},
      {{"--version"}, false},
      {{"a.wav", "--version", "--help"}, false},
  };
  for (const bool copyRuns : {false, true}) {
    SCOPED_TRACE(copyRuns ? "second launch" : "first copy");
    const std::unique_ptr<InstanceLock> lock = copyRuns ? HoldLock() : nullptr;
    for (const auto& c : cases) {
      SCOPED_TRACE(c.arguments.join(' ').toStdString());
      const auto process = Launch(c.arguments);
      ASSERT_TRUE(process->waitForFinished(10000)) << "it started a window";
      EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
      EXPECT_EQ(process->exitCode(), 0);
      const QByteArray output = process->readAllStandardOutput();
      if (c.help) {
        EXPECT_TRUE(output.startsWith("Usage: mellowdeck ")) << output.toStdString();
        EXPECT_TRUE(output.contains("--version"));
      } else {
        EXPECT_EQ(output, "mellowdeck 4.0\n");
      }
      EXPECT_EQ(process->readAllStandardError(), "");
      EXPECT_TRUE(NoHandOffFilesLeft()) << "something was handed over";
      EXPECT_FALSE(QFileInfo::exists(fallbackDir)) << "a first copy started";
    }
  }
}

TEST_F(CommandLineEndToEnd, AToolkitOptionIsAFileThatTheFirstCopyPlays) {
  QTemporaryDir workingDir;
  const MediaFixture wav = WriteMediaFixture(MediaFormat::Wav, workingDir.path().toStdString());
  const QString played = QFileInfo(workingDir.path()).canonicalFilePath() + "/-platform";
  ASSERT_TRUE(QFile::rename(QString::fromStdString(wav.path), played));

  // Taken by the toolkit, "-platform a.wav" would ask for a platform named
  // a.wav and abort the program.
  StartFirstCopy({"-platform", "a.wav"}, workingDir.path());
  EXPECT_TRUE(WaitFor([&] { return HoldsOpen(firstCopy->processId(), played); }, 10000));
  EXPECT_EQ(firstCopy->state(), QProcess::Running);
}

TEST_F(CommandLineEndToEnd, ASecondLaunchHandsOverDashNamesAndEntryFormsAsTheyAre) {
  const auto lock = HoldLock();
  QTemporaryDir workingDir;
  const QByteArray here = QFile::encodeName(QFileInfo(workingDir.path()).canonicalFilePath());

  EXPECT_EQ(SecondLaunch({"--", "--help", "--"}, nullptr, workingDir.path()), 1);
  EXPECT_EQ(SecondLaunch({"*x.wav", "<x>", "-reverse"}, nullptr, workingDir.path()), 1);
  form->ReadHandOffFiles();

  std::vector<QByteArray> expected{"*x.wav", "<x>", here + "/--", here + "/--help",
                                   here + "/-reverse"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SortedEntries(), expected);
}

TEST_F(CommandLineEndToEnd, AWriteBeyondTheFileSizeLimitFailsInsteadOfKillingTheProgram) {
  const auto lock = HoldLock();
  QProcess process;
  process.setProcessEnvironment(environment);
  // Without SIGXFSZ ignored, the first write past 16 bytes ends the launch.
  process.setChildProcessModifier([] {
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  const QString argument = "/m/" + QString(64, 'a') + ".wav";
  process.start(binary, {argument});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardError().contains(argument.toUtf8()));
  EXPECT_TRUE(NoHandOffFilesLeft());
}

} // namespace
