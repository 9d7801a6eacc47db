#include "display_server.h"

#include "support/wait.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace {

constexpr int kStartBoundMs = 10000;

} // namespace

DisplayServer::DisplayServer(Kind kind) {
  const QString program = kind == Kind::X11 ? QStringLiteral("Xvfb") : QStringLiteral("weston");
  if (QStandardPaths::findExecutable(program).isEmpty()) {
    problem_ = program + " is not installed (scripts/install-deps installs it)";
    return;
  }
  QString ready;
  if (kind == Kind::X11) {
    // A display number of this process's own, so that parallel runs differ.
    const QString number = QString::number(100 + getpid() % 800);
    address_ = ':' + number;
    ready = QStringLiteral("/tmp/.X11-unix/X") + number;
    server_.start(program,
                  {address_, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                   QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24")});
  } else {
    address_ = runtimeDir_.filePath(QStringLiteral("wayland-test"));
    ready = address_;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
    server_.setProcessEnvironment(environment);
    server_.start(program,
                  {QStringLiteral("--backend=headless-backend.so"),
                   QStringLiteral("--socket=wayland-test"), QStringLiteral("--idle-time=0"),
                   QStringLiteral("--width=640"), QStringLiteral("--height=480")});
  }
  server_.setProcessChannelMode(QProcess::MergedChannels);
  if (!WaitFor([&] { return QFileInfo::exists(ready) || server_.state() == QProcess::NotRunning; },
               kStartBoundMs) ||
      !QFileInfo::exists(ready))
    problem_ = program + " did not start: " + QString::fromLocal8Bit(server_.readAll());
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
