#include "display_server.h"

#include "support/wait.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QStandardPaths>

namespace {

constexpr int kStartBoundMs = 10000;
constexpr int kToolBoundMs = 10000;
// Starting Qt and the media layer, and playing a few one-second clips, on a
// busy machine.
constexpr int kTestRunBoundMs = 180000;

QString QtPlatform(DisplayServer::Kind kind) {
  return kind == DisplayServer::Kind::X11 ? QStringLiteral("xcb") : QStringLiteral("wayland");
}

} // namespace

DisplayServer::DisplayServer(Kind kind) : kind_(kind) {
  const QString program = kind == Kind::X11 ? QStringLiteral("Xvfb") : QStringLiteral("weston");
  if (QStandardPaths::findExecutable(program).isEmpty()) {
    problem_ = program + " is not installed (scripts/install-deps installs it)";
    return;
  }
  if (kind == Kind::X11) {
    // Xvfb picks a free display itself and writes its number once it takes
    // clients, so neither a taken number nor a stale socket can mislead. A
    // desktop's server does not reset when its last client leaves, and the
    // sink probes (one client after another) must not meet a reset either.
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start(program,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("640x480x24")});
    if (WaitFor([&] { return server_.canReadLine() || server_.state() == QProcess::NotRunning; },
                kStartBoundMs) &&
        server_.canReadLine())
      address_ = ':' + QString::fromLatin1(server_.readLine().trimmed());
    else
      problem_ = program + " did not start within " + QString::number(kStartBoundMs) + " ms";
    return;
  }
  address_ = runtimeDir_.filePath(QStringLiteral("wayland-test"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
  server_.setProcessEnvironment(environment);
  // Nobody reads what it says, so it must not fill a pipe and stall.
  server_.setStandardOutputFile(QProcess::nullDevice());
  server_.setStandardErrorFile(QProcess::nullDevice());
  server_.start(program, {QStringLiteral("--backend=headless-backend.so"),
                          QStringLiteral("--socket=wayland-test"), QStringLiteral("--idle-time=0"),
                          QStringLiteral("--width=640"), QStringLiteral("--height=480")});
  if (!WaitFor(
          [&] { return QFileInfo::exists(address_) || server_.state() == QProcess::NotRunning; },
          kStartBoundMs) ||
      !QFileInfo::exists(address_))
    problem_ = program + " did not start within " + QString::number(kStartBoundMs) + " ms";
}

DisplayServer::~DisplayServer() {
  server_.terminate();
  if (!server_.waitForFinished(3000))
    server_.kill();
  server_.waitForFinished(3000);
}

QProcessEnvironment DisplayServer::Environment(QProcessEnvironment base) const {
  base.remove(QStringLiteral("DISPLAY"));
  base.remove(QStringLiteral("WAYLAND_DISPLAY"));
  base.insert(kind_ == Kind::X11 ? QStringLiteral("DISPLAY") : QStringLiteral("WAYLAND_DISPLAY"),
              address_);
  if (kind_ == Kind::Wayland)
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
  base.insert(QStringLiteral("QT_QPA_PLATFORM"), QtPlatform(kind_));
  return base;
}

DisplayTestRun RunTestsOnDisplay(const DisplayServer& server, const QString& filter,
                                 const QProcessEnvironment& extra) {
  DisplayTestRun run;
  const QString platform = QtPlatform(server.GetKind());
  const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
  if (plugins.entryList({QStringLiteral("libq%1*").arg(platform)}, QDir::Files).isEmpty()) {
    run.problem = QStringLiteral("Qt has no %1 platform plug-in (scripts/install-deps installs it)")
                      .arg(platform);
    return run;
  }
  QProcessEnvironment environment = server.Environment(QProcessEnvironment::systemEnvironment());
  environment.insert(extra);
  QProcess tests;
  tests.setProcessEnvironment(environment);
  tests.setProcessChannelMode(QProcess::MergedChannels);
  tests.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=") + filter});
  // Read as it comes, so that a talkative run never stalls on a full pipe.
  QByteArray output;
  const bool finished = WaitFor(
      [&] {
        output += tests.readAll();
        return tests.state() == QProcess::NotRunning;
      },
      kTestRunBoundMs);
  if (!finished) {
    tests.kill();
    tests.waitForFinished(3000);
  }
  output += tests.readAll();
  run.output = QString::fromLocal8Bit(output);
  if (!finished)
    run.output += QStringLiteral("\n(killed: did not finish within %1 ms)").arg(kTestRunBoundMs);
  run.passed = finished && tests.exitStatus() == QProcess::NormalExit && tests.exitCode() == 0 &&
               run.output.contains(QStringLiteral("[  PASSED  ]")) &&
               !run.output.contains(QStringLiteral("[  SKIPPED ]"));
  return run;
}

bool OnRealDisplay() {
  const QString platform = QGuiApplication::platformName();
  return platform == QStringLiteral("xcb") || platform.startsWith(QStringLiteral("wayland"));
}

QByteArray RunTool(const QProcessEnvironment& environment, const QString& program,
                   const QStringList& arguments) {
  QProcess tool;
  tool.setProcessEnvironment(environment);
  tool.setStandardErrorFile(QProcess::nullDevice());
  tool.start(program, arguments);
  if (!tool.waitForFinished(kToolBoundMs)) {
    tool.kill();
    tool.waitForFinished();
    return {};
  }
  return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0
             ? tool.readAllStandardOutput()
             : QByteArray();
}
