#include "support/session_bus.h"

#include "support/wait.h"

#include <QStandardPaths>

namespace {

constexpr int kStartBoundMs = 10000;

} // namespace

void StopProcess(QProcess& process) {
  if (process.state() == QProcess::NotRunning)
    return;
  process.terminate();
  if (!process.waitForFinished(3000))
    process.kill();
  process.waitForFinished(3000);
}

SessionBus::SessionBus() {
  if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
    problem_ = QStringLiteral("dbus-daemon is not installed (scripts/install-deps installs it)");
    return;
  }
  daemon_.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
  if (!WaitFor([&] { return daemon_.canReadLine() || daemon_.state() == QProcess::NotRunning; },
               kStartBoundMs) ||
      !daemon_.canReadLine()) {
    problem_ = QStringLiteral("the session bus did not start");
    return;
  }
  address_ = QString::fromUtf8(daemon_.readLine().trimmed());
}

SessionBus::~SessionBus() {
  StopProcess(daemon_);
}

QProcessEnvironment SessionBus::Environment(QProcessEnvironment base) const {
  base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
  return base;
}
