#include "tray/desktop_session.h"

#include "support/wait.h"

#include <QStandardPaths>

namespace {

constexpr int kStartBoundMs = 10000;

} // namespace

DesktopSession::DesktopSession(Tray tray) {
  for (const QString& problem : {display_.Problem(), bus_.Problem()})
    if (!problem.isEmpty()) {
      problem_ = problem;
      return;
    }
  const QString host = tray == Tray::StatusNotifier ? QStringLiteral("gtk-sni-tray-standalone")
                                                    : QStringLiteral("trayer");
  for (const QString& program : {QStringLiteral("gdbus"), QStringLiteral("xdotool"), host})
    if (QStandardPaths::findExecutable(program).isEmpty()) {
      problem_ = program + " is not installed (scripts/install-deps installs it)";
      return;
    }

  if (tray == Tray::StatusNotifier) {
    // The host brings its own watcher; an item can register once the watcher
    // says that a host is there.
    Start(tray_, host, {QStringLiteral("--watcher"), QStringLiteral("--bottom")});
    const auto hostRegistered = [&] {
      return Run(QStringLiteral("gdbus"),
                 {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("-d"),
                  QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("-o"),
                  QStringLiteral("/StatusNotifierWatcher"), QStringLiteral("-m"),
                  QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                  QStringLiteral("org.kde.StatusNotifierWatcher"),
                  QStringLiteral("IsStatusNotifierHostRegistered")})
          .contains("true");
    };
    if (!WaitFor(hostRegistered, kStartBoundMs))
      problem_ =
          host + " did not register as a host within " + QString::number(kStartBoundMs) + " ms";
    return;
  }
  Start(tray_, host,
        {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
         QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
         QStringLiteral("--height"), QStringLiteral("32"), QStringLiteral("--SetDockType"),
         QStringLiteral("false")});
  const QString pid = QString::number(tray_.processId());
  if (!WaitFor(
          [&] {
            return !Run(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--pid"), pid})
                        .isEmpty();
          },
          kStartBoundMs))
    problem_ = host + " did not show within " + QString::number(kStartBoundMs) + " ms";
}

DesktopSession::~DesktopSession() {
  StopProcess(tray_);
}

QProcessEnvironment DesktopSession::Environment(QProcessEnvironment base) const {
  return bus_.Environment(display_.Environment(std::move(base)));
}

QByteArray DesktopSession::Run(const QString& program, const QStringList& arguments) const {
  return RunTool(Environment(QProcessEnvironment::systemEnvironment()), program, arguments);
}

void DesktopSession::Start(QProcess& process, const QString& program,
                           const QStringList& arguments) {
  process.setProcessEnvironment(Environment(QProcessEnvironment::systemEnvironment()));
  // Nobody reads what a host says, so it must not fill a pipe and stall.
  process.setStandardErrorFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, arguments);
}
