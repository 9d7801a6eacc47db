#include "display_server.h"
#include "support/program_fixture.h"
#include "support/wait.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// The real program's windows as the display server gets them: their captions
// exactly as the program names them, and the class or application id that
// ties them to the desktop entry.
class Captions : public ProgramTest {
protected:
  bool Start(DisplayServer::Kind kind) {
    server = std::make_unique<DisplayServer>(kind);
    if (!server->Problem().isEmpty())
      return false;
    // The program keeps its own runtime directory, where its lock lives.
    const QString runtime = environment.value("XDG_RUNTIME_DIR");
    environment = server->Environment(environment);
    environment.insert("XDG_RUNTIME_DIR", runtime);
    // What the program asks of the compositor is logged to its error output.
    if (kind == DisplayServer::Kind::Wayland)
      environment.insert("WAYLAND_DEBUG", "client");
    StartFirstCopy({QStringLiteral(MDK_SOURCE_DIR "/samples/mellow-chime.wav")});
    return true;
  }

  QByteArray X(const QString& program, const QStringList& arguments) const {
    return RunTool(server->Environment(QProcessEnvironment::systemEnvironment()), program,
                   arguments);
  }

  QStringList VisibleWindows() const {
    return QString::fromUtf8(X("xdotool", {"search", "--onlyvisible", "--pid",
                                           QString::number(firstCopy->processId())}))
        .split('\n', Qt::SkipEmptyParts);
  }

  std::unique_ptr<DisplayServer> server;
};

TEST_F(Captions, X11WindowsCarryTheirOwnCaptionsAndTheProgramsClass) {
  if (QStandardPaths::findExecutable("xdotool").isEmpty() ||
      QStandardPaths::findExecutable("xprop").isEmpty())
    GTEST_SKIP() << "needs xdotool and xprop (scripts/install-deps installs them)";
  if (!Start(DisplayServer::Kind::X11))
    GTEST_SKIP() << server->Problem().toStdString();
  QString main;
  ASSERT_TRUE(WaitFor(
      [&] {
        const QStringList windows = VisibleWindows();
        main = windows.isEmpty() ? QString() : windows.first();
        return !main.isEmpty();
      },
      10000));
  // F1 in the list opens the manual.
  X("xdotool", {"windowfocus", "--sync", main});
  X("xdotool", {"mousemove", "--sync", "--window", main, "100", "100", "click", "1"});
  X("xdotool", {"key", "F1"});
  ASSERT_TRUE(WaitFor([&] { return VisibleWindows().size() >= 2; }, 10000)) << "no manual";

  QStringList captions;
  for (const QString& window : VisibleWindows()) {
    const QString properties =
        QString::fromUtf8(X("xprop", {"-id", window, "_NET_WM_NAME", "WM_CLASS"}));
    captions << QRegularExpression(QStringLiteral("_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\""))
                    .match(properties)
                    .captured(1);
    EXPECT_TRUE(properties.contains("WM_CLASS(STRING) = \"mellowdeck\", \"Mellowdeck\""))
        << properties.toStdString();
  }
  captions.sort();
  EXPECT_EQ(captions.join(" | ").toStdString(), "Mellowdeck | Mellowdeck -  manual");
}

TEST_F(Captions, WaylandWindowGetsItsCaptionAndTheDesktopEntrysId) {
  if (!Start(DisplayServer::Kind::Wayland))
    GTEST_SKIP() << server->Problem().toStdString();
  QByteArray log;
  const auto asked = [&](const QByteArray& request) {
    log += firstCopy->readAllStandardError();
    return log.contains(request);
  };
  EXPECT_TRUE(WaitFor([&] { return asked("set_title(\"Mellowdeck\")"); }, 10000))
      << "no caption; the log ends with " << log.right(2000).toStdString();
  EXPECT_TRUE(asked("set_app_id(\"mellowdeck\")"));
  // Nothing may be added to a caption, whichever window asks for one.
  EXPECT_FALSE(QRegularExpression(QStringLiteral("set_title\\(\"[^\"]*\\x{2014}"))
                   .match(QString::fromUtf8(log))
                   .hasMatch());
}

} // namespace
