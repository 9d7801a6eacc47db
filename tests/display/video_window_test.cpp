#include "../media/fixture_files.h"
#include "display_server.h"
#include "platform/gst_media_player.h"
#include "platform/resources.h"
#include "support/wait.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

// A name with a folder in front and letters beyond ASCII: the title is the
// name alone, decoded as the list shows it.
const QString kClipName = QStringLiteral("夜の clip.avi");
const QString kNextClipName = QStringLiteral("next clip.avi");
// The size of the AVI fixture's picture, square pixels.
const QSize kClipSize(64, 48);

// The video window shows under the program's own name: the class (X11) and
// app id (Wayland) that the desktop entry resources/mellowdeck.desktop
// carries, and the program's icon.
class VideoWindow : public ::testing::TestWithParam<DisplayServer::Kind> {};

TEST_P(VideoWindow, ShowsAndGoesAsTheMediaPlaysAndStops) {
  const DisplayServer server(GetParam());
  if (!server.Problem().isEmpty())
    GTEST_SKIP() << server.Problem().toStdString();
  QProcessEnvironment extra;
  // The instance name Qt takes from the program's file name, which here is
  // the test program's.
  extra.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("mellowdeck"));
  // What the window tells the compositor is seen only in the protocol log.
  if (GetParam() == DisplayServer::Kind::Wayland)
    extra.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
  const DisplayTestRun run =
      RunTestsOnDisplay(server, QStringLiteral("VideoWindowOnDisplay.*"), extra);
  if (!run.problem.isEmpty())
    GTEST_SKIP() << run.problem.toStdString();
  // The protocol log drowns what the tests said.
  static const QRegularExpression protocolLine(QStringLiteral("^\\[ *\\d+\\.\\d+\\].*\\n"),
                                               QRegularExpression::MultilineOption);
  EXPECT_TRUE(run.passed) << QString(run.output).remove(protocolLine).toStdString();
  if (GetParam() == DisplayServer::Kind::Wayland) {
    for (const QString& request : {QStringLiteral("set_app_id(\"mellowdeck\")"),
                                   QStringLiteral("set_title(\"%1\")").arg(kClipName)}) {
      const QRegularExpression sent(QStringLiteral("xdg_toplevel@\\d+\\.") +
                                    QRegularExpression::escape(request));
      EXPECT_TRUE(run.output.contains(sent)) << request.toStdString() << " never reached weston";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, VideoWindow,
                         ::testing::Values(DisplayServer::Kind::X11, DisplayServer::Kind::Wayland));

// What a tool of the X server printed, in a UTF-8 locale; empty when it
// failed.
QString RunX11Tool(const QString& program, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  return QString::fromUtf8(RunTool(environment, program, arguments)).trimmed();
}

bool OnX11() {
  return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// One of the program's top-level windows as the test saw it shown; under
// X11 its server-side id, which stays valid to ask about once Qt has let go
// of the window.
struct Shown {
  QString title;
  QSize size;
  QWindow* window = nullptr;
  WId id = 0;
};

std::vector<QWindow*> ShownWindows() {
  std::vector<QWindow*> shown;
  for (QWindow* window : QGuiApplication::topLevelWindows())
    if (window->isVisible())
      shown.push_back(window);
  return shown;
}

// Waits until exactly one window is up and the server maps it.
std::optional<Shown> WaitForOneWindow() {
  std::optional<Shown> found;
  const bool up = WaitFor(
      [&] {
        const std::vector<QWindow*> shown = ShownWindows();
        if (shown.size() != 1)
          return false;
        found = Shown{shown[0]->title(), shown[0]->size(), shown[0], shown[0]->winId()};
        return !OnX11() || RunX11Tool(QStringLiteral("xwininfo"),
                                      {QStringLiteral("-id"), QString::number(found->id)})
                               .contains(QStringLiteral("IsViewable"));
      },
      10000);
  return up ? found : std::nullopt;
}

// Whether the window is down, both in Qt and, under X11, on the server
// (unmapped or destroyed).
bool Gone(const Shown& window) {
  if (!ShownWindows().empty())
    return false;
  return !OnX11() || !RunX11Tool(QStringLiteral("xwininfo"),
                                 {QStringLiteral("-id"), QString::number(window.id)})
                          .contains(QStringLiteral("IsViewable"));
}

// Run by VideoWindow, in a process whose Qt runs on the display server and
// is named as the program names itself.
class VideoWindowOnDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    if (!OnRealDisplay())
      GTEST_SKIP() << "runs on a display server of its own, started by VideoWindow";
    qunsetenv("MELLOWDECK_VIDEO_SINK");
    QCoreApplication::setApplicationName(QStringLiteral("Mellowdeck"));
    QGuiApplication::setDesktopFileName(QStringLiteral("mellowdeck"));
    clip_ = CopyFixture(MediaFormat::Avi, kClipName);
    nextClip_ = CopyFixture(MediaFormat::Avi, kNextClipName);
  }

  std::string CopyFixture(MediaFormat format, const QString& name) {
    const QString path = dir_.filePath(name);
    QFile::copy(QString::fromStdString(FixtureFile(format).path), path);
    return QFile::encodeName(path).toStdString();
  }

  QTemporaryDir dir_;
  std::string clip_;
  std::string nextClip_;
};

// The first 16 by 16 picture of _NET_WM_ICON, as 32-bit ARGB values.
std::vector<quint32> FirstX11Icon(WId id) {
  const QStringList values =
      RunX11Tool(QStringLiteral("xprop"),
                 {QStringLiteral("-id"), QString::number(id), QStringLiteral("-notype"),
                  QStringLiteral("32c"), QStringLiteral("_NET_WM_ICON")})
          .section(QLatin1Char('='), 1)
          .split(QLatin1Char(','), Qt::SkipEmptyParts);
  std::vector<quint32> pixels;
  for (const QString& value : values)
    pixels.push_back(value.trimmed().toUInt());
  return pixels;
}

TEST_F(VideoWindowOnDisplay, CarriesTheFileNameTheProgramsNameAndIcon) {
  GstMediaPlayer player;
  player.SetFileName(clip_);
  ASSERT_NO_THROW(player.Open());
  EXPECT_TRUE(ShownWindows().empty()) << "opened, not yet played";
  player.Play();
  const std::optional<Shown> shown = WaitForOneWindow();
  ASSERT_TRUE(shown) << "no window came up for the video";
  // Held still on a frame while the server is asked about the window.
  player.Pause();
  EXPECT_EQ(shown->title.toStdString(), kClipName.toStdString());
  EXPECT_EQ(shown->size, kClipSize) << "sized to the video";
  if (!OnX11())
    return;
  const QString id = QString::number(shown->id);
  EXPECT_EQ(RunX11Tool(QStringLiteral("xprop"),
                       {QStringLiteral("-id"), id, QStringLiteral("-notype"),
                        QStringLiteral("WM_CLASS"), QStringLiteral("_NET_WM_NAME")})
                .toStdString(),
            QStringLiteral("WM_CLASS = \"mellowdeck\", \"Mellowdeck\"\n_NET_WM_NAME = \"%1\"")
                .arg(kClipName)
                .toStdString());
  InitResources();
  const QImage icon = QIcon(QStringLiteral(":/icons/mainicon.svg"))
                          .pixmap(QSize(16, 16))
                          .toImage()
                          .convertToFormat(QImage::Format_ARGB32);
  std::vector<quint32> expected{16, 16};
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x)
      expected.push_back(icon.pixel(x, y));
  std::vector<quint32> onServer = FirstX11Icon(shown->id);
  onServer.resize(std::min(onServer.size(), expected.size()));
  EXPECT_EQ(onServer, expected) << "the server's icon is not the program's";
}

// The window goes with the media: whatever ends it, nothing of it stays on
// screen, and a media still open brings it back when it plays again.
TEST_F(VideoWindowOnDisplay, GoesWhenTheMediaStopsOrCloses) {
  struct Case {
    const char* what;
    std::function<void(std::unique_ptr<GstMediaPlayer>&)> end;
    // The title of the window that Play brings up after the end; empty when
    // nothing is open any more.
    QString playedNext;
  } const cases[] = {
      {"Stop", [](auto& player) { player->Stop(); }, kClipName},
      {"the end of the clip",
       [](auto& player) {
         EXPECT_TRUE(WaitFor([&] { return player->Mode() == mpStopped; }, 10000));
       },
       kClipName},
      {"Stop at the end of the clip",
       [](auto& player) {
         EXPECT_TRUE(WaitFor([&] { return player->Mode() == mpStopped; }, 10000));
         player->Stop();
       },
       kClipName},
      {"the next Open",
       [this](auto& player) {
         player->SetFileName(nextClip_);
         player->Open();
       },
       kNextClipName},
      {"Close", [](auto& player) { player->Close(); }, {}},
      {"the player's end", [](auto& player) { player.reset(); }, {}},
  };
  for (const Case& ending : cases) {
    SCOPED_TRACE(ending.what);
    auto player = std::make_unique<GstMediaPlayer>();
    player->SetFileName(clip_);
    ASSERT_NO_THROW(player->Open());
    player->Play();
    const std::optional<Shown> shown = WaitForOneWindow();
    ASSERT_TRUE(shown) << "no window came up for the video";
    ending.end(player);
    EXPECT_TRUE(WaitFor([&] { return Gone(*shown); }, 10000)) << "the window stayed";
    if (ending.playedNext.isEmpty())
      continue;
    player->Play();
    const std::optional<Shown> again = WaitForOneWindow();
    ASSERT_TRUE(again) << "played again, the video got no window";
    EXPECT_EQ(again->title.toStdString(), ending.playedNext.toStdString());
  }
}

// Frames keep coming after the user closed the window; they must not bring
// it back while the clip plays on.
TEST_F(VideoWindowOnDisplay, AWindowTheUserClosedStaysClosed) {
  GstMediaPlayer player;
  player.SetFileName(clip_);
  ASSERT_NO_THROW(player.Open());
  player.Play();
  const std::optional<Shown> shown = WaitForOneWindow();
  ASSERT_TRUE(shown) << "no window came up for the video";
  shown->window->close();
  bool cameBack = false;
  EXPECT_TRUE(WaitFor(
      [&] {
        cameBack = cameBack || !ShownWindows().empty();
        return player.Mode() == mpStopped;
      },
      10000));
  EXPECT_FALSE(cameBack);
}

// A sink described in the environment keeps its own window (here none):
// the program's window stays out of the way.
TEST_F(VideoWindowOnDisplay, ADescribedSinkGetsNoWindowOfTheProgram) {
  qputenv("MELLOWDECK_VIDEO_SINK", "fakesink sync=true");
  GstMediaPlayer player;
  player.SetFileName(clip_);
  ASSERT_NO_THROW(player.Open());
  player.Play();
  bool shown = false;
  EXPECT_TRUE(WaitFor(
      [&] {
        shown = shown || !ShownWindows().empty();
        return player.Mode() == mpStopped;
      },
      10000));
  EXPECT_FALSE(shown);
}

} // namespace
