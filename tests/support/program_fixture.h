#pragma once

#include "app/instance_lock.h"
#include "support/form_fixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The real program, copied into the fixture's program directory, with its own
// runtime directory, the offscreen platform and fake sinks. The window under
// test stands in for a running copy where the test holds the lock itself.
class ProgramTest : public FormTest {
protected:
  ProgramTest();
  ~ProgramTest() override;

  std::unique_ptr<InstanceLock> HoldLock();
  std::unique_ptr<QProcess> Launch(const QStringList& arguments,
                                   const QString& workingDirectory = QDir::tempPath());
  // Runs a launch to its end; its exit code, -1 when it did not end normally.
  int SecondLaunch(const QStringList& arguments, QByteArray* errors = nullptr,
                   const QString& workingDirectory = QDir::tempPath());
  // Starts the program as the first copy and waits until it holds the lock,
  // which it has once it made its fallback directory.
  void StartFirstCopy(const QStringList& arguments = {},
                      const QString& workingDirectory = QDir::tempPath());

  QStringList HandOffFilesIn(const QString& dir) const;
  bool NoHandOffFilesLeft() const;
  std::vector<QByteArray> SortedEntries() const;

  QTemporaryDir runtimeDir;
  const QString binary;
  const QString fallbackDir;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  std::unique_ptr<QProcess> firstCopy;
};
