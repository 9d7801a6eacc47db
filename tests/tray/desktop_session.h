#pragma once

#include "display/display_server.h"
#include "support/session_bus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>

// An X display with a session bus of its own and one kind of notification
// area on it, as a desktop would offer: a StatusNotifierItem host that
// watches the bus, or an XEmbed tray. Everything ends with the object.
class DesktopSession {
public:
  enum class Tray { StatusNotifier, XEmbed };

  explicit DesktopSession(Tray tray);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // Empty when the session runs; else why it could not start.
  const QString& Problem() const { return problem_; }
  // The display's environment for a Qt program and the session's bus, added
  // to a base.
  QProcessEnvironment Environment(QProcessEnvironment base) const;
  // Runs a tool in the session to its end and gives what it printed; empty
  // when it failed or did not end within a few seconds.
  QByteArray Run(const QString& program, const QStringList& arguments) const;

private:
  void Start(QProcess& process, const QString& program, const QStringList& arguments);

  DisplayServer display_{DisplayServer::Kind::X11};
  // No host or item of the machine's desktop takes part.
  SessionBus bus_;
  QProcess tray_;
  QString problem_;
};
