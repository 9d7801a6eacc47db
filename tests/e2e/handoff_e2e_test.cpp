#include "app/instance_lock.h"
#include "rules/handoff_files.h"
#include "rules/handoff_writer.h"
#include "rules/runtime_paths.h"
#include "support/program_fixture.h"
#include "support/wait.h"
#include "support/write_protect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

class HandOffEndToEnd : public ProgramTest {
protected:
  // The running copy's sound goes to a file: sound there is proof that it took
  // a handed-over file and played it, not only that the file went away.
  QString CaptureSound() {
    const QString sound = runtimeDir.filePath(QStringLiteral("sound.raw"));
    environment.insert("MELLOWDECK_AUDIO_SINK", "filesink location=\"" + sound + '"');
    return sound;
  }
  // Copies of the sample, so that whichever of them is read first plays.
  QStringList Samples(const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) {
      paths << mediaDir.filePath(name);
      EXPECT_TRUE(
          QFile::copy(QStringLiteral(MDK_SOURCE_DIR "/samples/mellow-chime.wav"), paths.back()));
    }
    return paths;
  }
  static bool Heard(const QString& sound) { return QFileInfo(sound).size() > 0; }

  QTemporaryDir mediaDir;
};

TEST_F(HandOffEndToEnd, ASecondLaunchLeavesOneFilePerArgumentAndEndsWithOne) {
  const auto lock = HoldLock();
  QTemporaryDir workingDir;

  EXPECT_EQ(SecondLaunch({}), 1);
  EXPECT_TRUE(NoHandOffFilesLeft());

  QByteArray errors;
  EXPECT_EQ(SecondLaunch({"/m/a.wav", "b c.wav", ""}, &errors, workingDir.path()), 1);
  EXPECT_EQ(errors, "");
  form->ReadHandOffFiles();
  const QByteArray relative = QFile::encodeName(QFileInfo(workingDir.path()).canonicalFilePath());
  EXPECT_EQ(SortedEntries(), (std::vector<QByteArray>{"/m/a.wav", relative + "/b c.wav"}));
  EXPECT_TRUE(NoHandOffFilesLeft());
}

TEST_F(HandOffEndToEnd, TheRunningCopyTakesTheFilesOfASecondLaunch) {
  const QString sound = CaptureSound();
  StartFirstCopy();
  EXPECT_FALSE(Heard(sound));
  EXPECT_EQ(SecondLaunch(Samples({"a.wav", "b.wav", "c.wav"})), 1);
  EXPECT_TRUE(WaitFor([&] { return Heard(sound); }, 10000)) << "the running copy played nothing";
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }));
  EXPECT_EQ(firstCopy->state(), QProcess::Running);
}

// Left alone, the first copy's status poll comes to rest; a file handed over
// then is still taken the moment it arrives.
TEST_F(HandOffEndToEnd, AFirstCopyLeftIdleTakesALaterLaunchsFileAtOnce) {
  ASSERT_TRUE(EnsurePrivateDirectory(fallbackDir.toStdString()));
  const timespec longAgo[] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
  for (const QString& dir : {programDir.path(), fallbackDir})
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(dir).constData(), longAgo, 0), 0);
  const QString sound = CaptureSound();
  StartFirstCopy();
  // Well past the poll's last tick with anything to do.
  QTest::qWait(4000);
  ASSERT_FALSE(Heard(sound));

  EXPECT_EQ(SecondLaunch(Samples({"a.wav"})), 1);
  EXPECT_TRUE(WaitFor([&] { return Heard(sound); }, 10000)) << "the idle copy played nothing";
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }));
}

TEST_F(HandOffEndToEnd, FilesLeftBeforeTheFirstCopyStartedAreCollectedAtStart) {
  const QStringList samples = Samples({"a.wav", "b.wav"});
  ASSERT_TRUE(
      WriteHandOffFileIn(programDir.path().toStdString(), samples[0].toStdString(), random));
  ASSERT_TRUE(EnsurePrivateDirectory(fallbackDir.toStdString()));
  ASSERT_TRUE(WriteHandOffFileIn(fallbackDir.toStdString(), samples[1].toStdString(), random));
  const QString sound = CaptureSound();
  StartFirstCopy();
  EXPECT_TRUE(WaitFor([&] { return Heard(sound); }, 10000)) << "the running copy played nothing";
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }));
}

// The launcher takes the lock and keeps it while the player loads: launches
// racing one another's start make one player, and the rest hand over to it.
TEST_F(HandOffEndToEnd, LaunchesRacingAtTheStartMakeOnePlayerThatTakesTheOthersFiles) {
  constexpr int kLaunches = 6;
  QStringList names;
  for (int launch = 0; launch < kLaunches; ++launch)
    names << QStringLiteral("%1.wav").arg(launch);
  std::vector<std::unique_ptr<QProcess>> launches;
  for (const QString& sample : Samples(names))
    launches.push_back(Launch({sample}));
  const auto running = [&] {
    return std::count_if(launches.begin(), launches.end(), [](const auto& launch) {
      return launch->state() != QProcess::NotRunning;
    });
  };
  EXPECT_TRUE(WaitFor([&] { return running() <= 1; }, 30000));
  EXPECT_EQ(running(), 1) << "no player stayed";
  for (auto& launch : launches) {
    if (launch->state() != QProcess::NotRunning) {
      firstCopy = std::move(launch);
      continue;
    }
    EXPECT_EQ(launch->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(launch->exitCode(), 1) << launch->readAllStandardError().toStdString();
  }
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }, 10000));
  ASSERT_TRUE(firstCopy);
  EXPECT_EQ(firstCopy->state(), QProcess::Running);
}

TEST_F(HandOffEndToEnd, TwentyLaunchesAtOnceLoseNoneOfTheirArguments) {
  const auto lock = HoldLock();
  std::vector<QByteArray> expected;
  std::vector<std::unique_ptr<QProcess>> launches;
  for (int launch = 0; launch < 20; ++launch) {
    QStringList arguments;
    for (int argument = 0; argument < 5; ++argument) {
      arguments << QStringLiteral("/m/%1-%2.wav").arg(launch).arg(argument);
      expected.push_back(arguments.back().toUtf8());
    }
    launches.push_back(Launch(arguments));
  }
  for (const auto& launch : launches) {
    EXPECT_TRUE(launch->waitForFinished(10000));
    EXPECT_EQ(launch->exitCode(), 1);
  }

  form->ReadHandOffFiles();

  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SortedEntries(), expected);
  EXPECT_TRUE(NoHandOffFilesLeft());
}

TEST_F(HandOffEndToEnd, AProgramDirectoryThatRefusesFilesHandsOverThroughTheFallback) {
  const auto lock = HoldLock();
  DirectoryWriteProtection protection(programDir.path());
  if (!protection.Active())
    GTEST_SKIP() << "no way here to make a directory refuse new files";

  {
    QFile blocker(fallbackDir);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  }
  QByteArray errors;
  EXPECT_EQ(SecondLaunch({"/m/lost.wav"}, &errors), 1);
  EXPECT_TRUE(errors.contains("\"/m/lost.wav\"")) << errors.toStdString();

  ASSERT_TRUE(QFile::remove(fallbackDir));
  EXPECT_EQ(SecondLaunch({"/m/a.wav"}, &errors), 1);
  EXPECT_EQ(errors, "");
  EXPECT_EQ(HandOffFilesIn(fallbackDir).size(), 1);
  form->ReadHandOffFiles();
  EXPECT_EQ(Entries(), std::vector<QByteArray>{"/m/a.wav"});
}

// Closing the window needs a real display and a way to click: the context
// menu's last item is the exit command.
TEST_F(HandOffEndToEnd, TheFirstCopyEndsWithZeroWhenItsWindowCloses) {
  if (QStandardPaths::findExecutable("xvfb-run").isEmpty() ||
      QStandardPaths::findExecutable("xdotool").isEmpty())
    GTEST_SKIP() << "needs xvfb-run and xdotool";
  const char* script = R"sh(
"$1" & pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
xdotool mousemove --window "$window" 5 5 click 3
for _ in $(seq 200); do
  [ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -ge 2 ] && break
  sleep 0.05
done
xdotool key Up Return
wait "$pid"
)sh";
  QProcess session;
  environment.insert("QT_QPA_PLATFORM", "xcb");
  session.setProcessEnvironment(environment);
  session.start("xvfb-run", {"-a", "sh", "-c", script, "sh", binary});
  ASSERT_TRUE(session.waitForFinished(30000)) << "the window did not close";
  EXPECT_EQ(session.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(session.exitCode(), 0) << session.readAllStandardError().toStdString();
}

} // namespace
