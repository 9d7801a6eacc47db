#include "tray/desktop_session.h"

#include "support/wait.h"

#include <QStandardPaths>

namespace {

constexpr int kStartBoundMs = 10000;

void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning)
    return;
  process.terminate();
  if (!process.waitForFinished(3000))
    process.kill();
  process.waitForFinished(3000);
}

} // namespace

DesktopSession::DesktopSession(Tray tray) {
  if (!display_.Problem().isEmpty()) {
    problem_ = display_.Problem();
    return;
  }
  const QString host = tray == Tray::StatusNotifier ? QStringLiteral("gtk-sni-tray-standalone")
                                                    : QStringLiteral("trayer");
  for (const QString& program :
       {QStringLiteral("dbus-daemon"), QStringLiteral("gdbus"), QStringLiteral("xdotool"), host})
    if (QStandardPaths::findExecutable(program).isEmpty()) {
      problem_ = program + " is not installed (scripts/install-deps installs it)";
      return;
    }

  // A bus of the session's own, so that no host or item of the machine's
  // desktop takes part.
  Start(bus_, QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"),
         QStringLiteral("--print-address=1")});
  if (!WaitFor([&] { return bus_.canReadLine() || bus_.state() == QProcess::NotRunning; },
               kStartBoundMs) ||
      !bus_.canReadLine()) {
    problem_ = QStringLiteral("the session bus did not start");
    return;
  }
  busAddress_ = QString::fromUtf8(bus_.readLine().trimmed());

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
  Stop(tray_);
  Stop(bus_);
}

QProcessEnvironment DesktopSession::Environment(QProcessEnvironment base) const {
  base = display_.Environment(std::move(base));
  base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
  return base;
}

QByteArray DesktopSession::Run(const QString& program, const QStringList& arguments) const {
  return RunTool(Environment(QProcessEnvironment::systemEnvironment()), program, arguments);
}

void DesktopSession::Start(QProcess& process, const QString& program,
                           const QStringList& arguments) {
  process.setProcessEnvironment(Environment(QProcessEnvironment::systemEnvironment()));
  // Nobody reads what a host says, so it must not fill a pipe and stall.
  process.setStandardErrorFile(QProcess::nullDevice());
  if (&process != &bus_)
    process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, arguments);
}
