#include "display_server.h"

#include "support/wait.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int kStartBoundMs = 10000;

} // namespace

DisplayServer::DisplayServer(Kind kind) {
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

UseDisplay::UseDisplay(DisplayServer::Kind kind, const QString& address) {
  for (const char* name :
       {"DISPLAY", "WAYLAND_DISPLAY", "MELLOWDECK_AUDIO_SINK", "MELLOWDECK_VIDEO_SINK"})
    saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
  qunsetenv("MELLOWDECK_AUDIO_SINK");
  qunsetenv("MELLOWDECK_VIDEO_SINK");
  qunsetenv(kind == DisplayServer::Kind::X11 ? "WAYLAND_DISPLAY" : "DISPLAY");
  qputenv(kind == DisplayServer::Kind::X11 ? "DISPLAY" : "WAYLAND_DISPLAY", address.toLocal8Bit());
}

UseDisplay::~UseDisplay() {
  for (const Saved& variable : saved_)
    if (variable.set)
      qputenv(variable.name, variable.value);
    else
      qunsetenv(variable.name);
}
