#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// A session bus of the test's own, so that nothing of the machine's desktop
// takes part; it ends with the object.
class SessionBus {
public:
  SessionBus();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  // Empty when the bus runs; else why it could not start.
  const QString& Problem() const { return problem_; }
  const QString& Address() const { return address_; }
  // A base environment with this bus as the session's.
  QProcessEnvironment Environment(QProcessEnvironment base) const;

private:
  QProcess daemon_;
  QString address_;
  QString problem_;
};

// Ends a helper process, politely first, bounded in time.
void StopProcess(QProcess& process);
