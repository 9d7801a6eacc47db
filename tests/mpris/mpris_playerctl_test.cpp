#include "display/display_server.h"
#include "support/program_fixture.h"
#include "support/session_bus.h"
#include "support/wait.h"

#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// A minute of silence, 8 kHz, 8-bit mono: long enough that nothing ends while
// the controls are tried.
void WriteSilence(const QString& path) {
  constexpr quint32 kBytes = 60 * 8000;
  QByteArray wav;
  QDataStream out(&wav, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + kBytes);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(8000) << quint16(1)
      << quint16(8);
  out.writeRawData("data", 4);
  out << kBytes;
  wav.append(QByteArray(kBytes, char(0x80)));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(wav);
}

// The real program on a session bus of its own, driven as a user's media keys
// and desktop widgets drive it: through playerctl, and gdbus where playerctl
// has no word for the call.
class MediaControls : public ProgramTest {
protected:
  void SetUp() override {
    if (!bus.Problem().isEmpty())
      GTEST_SKIP() << bus.Problem().toStdString();
    for (const char* tool : {"playerctl", "gdbus"})
      if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
        GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
    environment = bus.Environment(environment);
  }
  void TearDown() override { StopProcess(monitor); }

  QString Ctl(const QStringList& arguments) {
    return QString::fromUtf8(RunTool(environment, QStringLiteral("playerctl"),
                                     QStringList{QStringLiteral("--player=mellowdeck")} + arguments)
                                 .trimmed());
  }
  bool Becomes(const QStringList& query, const QString& expected) {
    return WaitFor([&] { return Ctl(query) == expected; }, 5000);
  }
  // Everything the program says on the bus from now on.
  void Monitor() {
    monitor.setProcessEnvironment(environment);
    monitor.start(QStringLiteral("gdbus"),
                  {QStringLiteral("monitor"), QStringLiteral("--session"), QStringLiteral("--dest"),
                   QStringLiteral("org.mpris.MediaPlayer2.mellowdeck")});
    ASSERT_TRUE(monitor.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return monitor.bytesAvailable() > 0; }, 5000));
  }
  QString Heard() {
    heard += QString::fromUtf8(monitor.readAllStandardOutput());
    return heard;
  }

  SessionBus bus;
  QProcess monitor;
  QString heard;
};

TEST_F(MediaControls, PlayerctlControlsTheRunningPlayer) {
  const QString first = runtimeDir.filePath(QStringLiteral("first quiet.wav"));
  const QString second = runtimeDir.filePath(QStringLiteral("second.wav"));
  const QString handed = runtimeDir.filePath(QStringLiteral("handed.wav"));
  for (const QString& path : {first, second, handed})
    WriteSilence(path);
  StartFirstCopy({first, second});
  ASSERT_TRUE(WaitFor(
      [&] {
        return RunTool(environment, QStringLiteral("playerctl"), {QStringLiteral("--list-all")})
            .contains("mellowdeck");
      },
      10000))
      << "the player never appeared on the bus";
  ASSERT_TRUE(Becomes({QStringLiteral("status")}, QStringLiteral("Playing")));
  EXPECT_EQ(Ctl({QStringLiteral("metadata"), QStringLiteral("--format"),
                 QStringLiteral("{{xesam:title}}|{{xesam:url}}")}),
            "first quiet.wav|" + QUrl::fromLocalFile(first).toEncoded());
  Monitor();

  // A command waits for the status poll to enable its button, as on the
  // toolbar: until then it is asked again.
  const auto until = [&](const QString& command, const QString& status) {
    return WaitFor([&] {
      Ctl({command});
      return Ctl({QStringLiteral("status")}) == status;
    });
  };
  EXPECT_TRUE(until(QStringLiteral("pause"), QStringLiteral("Paused")));
  EXPECT_TRUE(until(QStringLiteral("play"), QStringLiteral("Playing")));
  ASSERT_TRUE(WaitFor([&] {
    Ctl({QStringLiteral("next")});
    return Ctl({QStringLiteral("metadata"), QStringLiteral("xesam:title")}) == "second.wav";
  }));

  Ctl({QStringLiteral("shuffle"), QStringLiteral("On")});
  EXPECT_TRUE(Becomes({QStringLiteral("shuffle")}, QStringLiteral("On")));
  Ctl({QStringLiteral("loop"), QStringLiteral("Playlist")});
  EXPECT_TRUE(Becomes({QStringLiteral("loop")}, QStringLiteral("Playlist")));
  Ctl({QStringLiteral("loop"), QStringLiteral("None")});
  EXPECT_TRUE(Becomes({QStringLiteral("loop")}, QStringLiteral("None")));

  // A second launch's file is announced as the toolbar's commands are.
  EXPECT_EQ(SecondLaunch({handed}), 1) << "a second launch ends as it always has";
  EXPECT_TRUE(Becomes({QStringLiteral("metadata"), QStringLiteral("xesam:title")},
                      QStringLiteral("handed.wav")));
  EXPECT_TRUE(WaitFor([&] {
    const QString said = Heard();
    return said.contains("'PlaybackStatus': <'Paused'>") && said.contains("'Shuffle': <true>") &&
           said.contains("'LoopStatus': <'Playlist'>") &&
           said.contains("'xesam:title': <'second.wav'>") &&
           said.contains("'xesam:title': <'handed.wav'>");
  })) << Heard().toStdString();

  RunTool(environment, QStringLiteral("gdbus"),
          {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
           QStringLiteral("org.mpris.MediaPlayer2.mellowdeck"), QStringLiteral("--object-path"),
           QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("--method"),
           QStringLiteral("org.mpris.MediaPlayer2.Quit")});
  ASSERT_TRUE(firstCopy->waitForFinished(10000)) << "Quit left the player running";
  EXPECT_EQ(firstCopy->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(firstCopy->exitCode(), 0);
}

} // namespace
