#include "support/program_fixture.h"

#include "rules/handoff_files.h"
#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

ProgramTest::ProgramTest()
    : binary(programDir.filePath(QStringLiteral("mellowdeck"))),
      fallbackDir(runtimeDir.filePath(QStringLiteral("mellowdeck"))) {
  EXPECT_TRUE(QFile::copy(QStringLiteral(MDK_BINARY), binary));
  // The first copy's module, which the launcher loads from beside itself.
  const QString module = QStringLiteral("libmellowdeck-player.so");
  EXPECT_TRUE(QFile::copy(QFileInfo(QStringLiteral(MDK_BINARY)).dir().filePath(module),
                          programDir.filePath(module)));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("MELLOWDECK_AUDIO_SINK", "fakesink sync=true");
  environment.insert("MELLOWDECK_VIDEO_SINK", "fakesink sync=true");
  environment.insert("XDG_RUNTIME_DIR", runtimeDir.path());
  form = std::make_unique<TForm1>(FormPlatform{.player = player,
                                               .tray = tray,
                                               .dialogs = dialogs,
                                               .random = random,
                                               .programDirectory = programDir.path(),
                                               .handOffDirectories = {fallbackDir},
                                               .pollsByItself = false});
}

ProgramTest::~ProgramTest() {
  if (firstCopy) {
    firstCopy->kill();
    firstCopy->waitForFinished();
  }
}

std::unique_ptr<InstanceLock> ProgramTest::HoldLock() {
  auto lock = std::make_unique<InstanceLock>(
      runtimeDir.filePath(QStringLiteral("_mellowdeck_.lock")).toStdString());
  EXPECT_EQ(lock->GetState(), InstanceLock::State::Acquired);
  return lock;
}

std::unique_ptr<QProcess> ProgramTest::Launch(const QStringList& arguments,
                                              const QString& workingDirectory) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(environment);
  process->setWorkingDirectory(workingDirectory);
  process->start(binary, arguments);
  EXPECT_TRUE(process->waitForStarted());
  return process;
}

int ProgramTest::SecondLaunch(const QStringList& arguments, QByteArray* errors,
                              const QString& workingDirectory) {
  const auto process = Launch(arguments, workingDirectory);
  EXPECT_TRUE(process->waitForFinished(10000));
  if (errors)
    *errors = process->readAllStandardError();
  return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

void ProgramTest::StartFirstCopy(const QStringList& arguments, const QString& workingDirectory) {
  firstCopy = Launch(arguments, workingDirectory);
  ASSERT_TRUE(WaitFor([&] { return QFileInfo(fallbackDir).isDir(); }));
}

QStringList ProgramTest::HandOffFilesIn(const QString& dir) const {
  QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  names.removeIf([](const QString& name) { return !IsHandOffName(name.toStdString()); });
  return names;
}

bool ProgramTest::NoHandOffFilesLeft() const {
  return HandOffFilesIn(programDir.path()).isEmpty() && HandOffFilesIn(fallbackDir).isEmpty();
}

std::vector<QByteArray> ProgramTest::SortedEntries() const {
  std::vector<QByteArray> entries = Entries();
  std::sort(entries.begin(), entries.end());
  return entries;
}
