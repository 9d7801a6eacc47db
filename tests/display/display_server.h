#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A display server of its own for one test: Xvfb or a headless weston. The
// server ends with the object.
class DisplayServer {
public:
  enum class Kind { X11, Wayland };

  explicit DisplayServer(Kind kind);
  ~DisplayServer();
  DisplayServer(const DisplayServer&) = delete;
  DisplayServer& operator=(const DisplayServer&) = delete;

  // Empty when the server runs; else why it could not start.
  const QString& Problem() const { return problem_; }
  // The value for DISPLAY or WAYLAND_DISPLAY.
  const QString& Address() const { return address_; }

private:
  QTemporaryDir runtimeDir_;
  QProcess server_;
  QString address_;
  QString problem_;
};

// Points the media layer at one display for the life of the scope: the other
// kind of display is hidden, and the sinks are the automatic ones.
class UseDisplay {
public:
  UseDisplay(DisplayServer::Kind kind, const QString& address);
  ~UseDisplay();
  UseDisplay(const UseDisplay&) = delete;
  UseDisplay& operator=(const UseDisplay&) = delete;

private:
  struct Saved {
    const char* name;
    QByteArray value;
    bool set;
  };
  std::vector<Saved> saved_;
};
