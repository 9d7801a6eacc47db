#include "app/handoff_files.h"
#include "app/handoff_writer.h"
#include "app/instance_lock.h"
#include "app/runtime_paths.h"
#include "support/form_fixture.h"
#include "support/wait.h"
#include "support/write_protect.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

// The real program, copied into the fixture's program directory, with its own
// runtime directory. The window under test stands in for a running copy
// where the test holds the lock itself.
class HandOffEndToEnd : public FormTest {
protected:
  HandOffEndToEnd() {
    EXPECT_TRUE(QFile::copy(QStringLiteral(MDK_BINARY), binary));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("MELLOWDECK_AUDIO_SINK", "fakesink sync=true");
    environment.insert("MELLOWDECK_VIDEO_SINK", "fakesink sync=true");
    environment.insert("XDG_RUNTIME_DIR", runtimeDir.path());
    form = std::make_unique<TForm1>(
        FormPlatform{player, tray, dialogs, programDir.path(), {fallbackDir}});
    form->Timer1->stop();
  }
  ~HandOffEndToEnd() override {
    if (firstCopy) {
      firstCopy->kill();
      firstCopy->waitForFinished();
    }
  }

  std::unique_ptr<InstanceLock> HoldLock() {
    auto lock = std::make_unique<InstanceLock>(
        runtimeDir.filePath(QStringLiteral("_mellowdeck_.lock")).toStdString());
    EXPECT_EQ(lock->GetState(), InstanceLock::State::Acquired);
    return lock;
  }

  std::unique_ptr<QProcess> Launch(const QStringList& arguments,
                                   const QString& workingDirectory = QDir::tempPath()) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingDirectory);
    process->start(binary, arguments);
    EXPECT_TRUE(process->waitForStarted());
    return process;
  }

  // Runs a second launch to its end; its exit code.
  int SecondLaunch(const QStringList& arguments, QByteArray* errors = nullptr,
                   const QString& workingDirectory = QDir::tempPath()) {
    const auto process = Launch(arguments, workingDirectory);
    EXPECT_TRUE(process->waitForFinished(10000));
    if (errors)
      *errors = process->readAllStandardError();
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  }

  // Starts the program as the first copy and waits until it holds the lock,
  // which it has once it made its fallback directory.
  void StartFirstCopy() {
    firstCopy = Launch({});
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(fallbackDir).isDir(); }));
  }

  QStringList HandOffFilesIn(const QString& dir) const {
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    names.removeIf([](const QString& name) { return !IsHandOffName(name.toStdString()); });
    return names;
  }
  bool NoHandOffFilesLeft() const {
    return HandOffFilesIn(programDir.path()).isEmpty() && HandOffFilesIn(fallbackDir).isEmpty();
  }

  std::vector<QByteArray> SortedEntries() const {
    std::vector<QByteArray> entries = Entries();
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  QTemporaryDir runtimeDir;
  const QString binary = programDir.filePath(QStringLiteral("mellowdeck"));
  const QString fallbackDir = runtimeDir.filePath(QStringLiteral("mellowdeck"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  std::unique_ptr<QProcess> firstCopy;
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
  StartFirstCopy();
  EXPECT_EQ(SecondLaunch({"/m/a.wav", "/m/b.wav", "/m/c.wav"}), 1);
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }));
  EXPECT_EQ(firstCopy->state(), QProcess::Running);
}

TEST_F(HandOffEndToEnd, FilesLeftBeforeTheFirstCopyStartedAreCollectedAtStart) {
  ASSERT_TRUE(WriteHandOffFileIn(programDir.path().toStdString(), "/m/a.wav"));
  ASSERT_TRUE(EnsurePrivateDirectory(fallbackDir.toStdString()));
  ASSERT_TRUE(WriteHandOffFileIn(fallbackDir.toStdString(), "/m/b.wav"));
  StartFirstCopy();
  EXPECT_TRUE(WaitFor([&] { return NoHandOffFilesLeft(); }));
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
