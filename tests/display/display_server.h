#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// A display server of its own for one test: Xvfb or a headless weston. The
// server ends with the object.
class DisplayServer {
public:
  enum class Kind { X11, Wayland };

  explicit DisplayServer(Kind kind);
  ~DisplayServer();
  DisplayServer(const DisplayServer&) = delete;
  DisplayServer& operator=(const DisplayServer&) = delete;

  Kind GetKind() const { return kind_; }
  // Empty when the server runs; else why it could not start.
  const QString& Problem() const { return problem_; }
  // The value for DISPLAY or WAYLAND_DISPLAY.
  const QString& Address() const { return address_; }
  // A Qt program's environment on this server: its address and Qt's
  // platform for it, and nothing of the other kind of display, added to base.
  QProcessEnvironment Environment(QProcessEnvironment base) const;

private:
  Kind kind_;
  QTemporaryDir runtimeDir_;
  QProcess server_;
  QString address_;
  QString problem_;
};

// What a tool printed when it ran to a good end within a few seconds in the
// environment given; empty when it failed or did not end.
QByteArray RunTool(const QProcessEnvironment& environment, const QString& program,
                   const QStringList& arguments);

// Names the kind in the names of parameterised tests.
inline void PrintTo(DisplayServer::Kind kind, std::ostream* out) {
  *out << (kind == DisplayServer::Kind::X11 ? "X11" : "Wayland");
}

// What tests of this program gave in a process of their own on a display.
struct DisplayTestRun {
  // Empty when the tests ran; else why they could not run at all.
  QString problem;
  // They ran, none skipped, and all passed.
  bool passed = false;
  // What the process printed, both streams.
  QString output;
};

// Runs the tests of this test program that the --gtest_filter pattern
// selects, in a process of its own whose Qt (and with it every window)
// lives on the server, as the program's does on a desktop. The QApplication
// of a test process is made once, on the offscreen platform, so this is the
// only way to a real one. Bounded: a process that hangs is killed and fails.
DisplayTestRun RunTestsOnDisplay(const DisplayServer& server, const QString& filter,
                                 const QProcessEnvironment& extra = {});

// Whether this process's Qt runs on a real display, as in a process that
// RunTestsOnDisplay started. Tests that need it skip elsewhere.
bool OnRealDisplay();
