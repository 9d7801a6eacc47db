#include "mpris/mpris_service.h"
#include "platform/media_player.h"
#include "support/captured_errors.h"
#include "support/form_fixture.h"
#include "support/session_bus.h"
#include "support/wait.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QUrl>
#include <memory>

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.mellowdeck");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// What a desktop's media controls hear.
class ChangeListener : public QObject {
  Q_OBJECT
public:
  std::vector<QVariantMap> changes;

public slots:
  void PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface == kPlayer)
      changes.push_back(changed);
  }
};

// The window on recording fakes, published on a bus of the test's own, and
// a client on that bus as a desktop's media controls would be.
class MprisTest : public FormTest {
protected:
  MprisTest() {
    if (!bus.Problem().isEmpty())
      return;
    serviceSide = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(bus.Address(), QStringLiteral("mdk-mpris-service")));
    clientSide = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(bus.Address(), QStringLiteral("mdk-mpris-client")));
    service = std::make_unique<MprisService>(*form, player, *serviceSide);
    clientSide->connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"),
                        &listener, SLOT(PropertiesChanged(QString, QVariantMap, QStringList)));
  }
  ~MprisTest() override {
    service.reset();
    serviceSide.reset();
    clientSide.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("mdk-mpris-service"));
    QDBusConnection::disconnectFromBus(QStringLiteral("mdk-mpris-client"));
  }
  void SetUp() override {
    if (!bus.Problem().isEmpty())
      GTEST_SKIP() << bus.Problem().toStdString();
    ASSERT_TRUE(service->Published());
  }

  // Calls as a client does, then lets the commands it queued run.
  QDBusMessage Call(const QString& interface, const QString& method,
                    const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = clientSide->call(call, QDBus::BlockWithGui, 5000);
    Settle();
    return reply;
  }
  QVariant Get(const QString& interface, const QString& name) {
    const QDBusMessage reply = Call(kProperties, QStringLiteral("Get"), {interface, name});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
  void Set(const QString& name, const QVariant& value) {
    Call(kProperties, QStringLiteral("Set"),
         {kPlayer, name, QVariant::fromValue(QDBusVariant(value))});
  }
  QVariantMap Metadata() {
    QVariantMap metadata;
    Get(kPlayer, QStringLiteral("Metadata")).value<QDBusArgument>() >> metadata;
    return metadata;
  }
  // Lets queued commands run and what they announce travel through the bus.
  void Settle(int ms = 100) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  // What was announced since the last look; when something is expected, it
  // is waited for, and then a little longer for anything after it.
  std::vector<QVariantMap> TakeChanges(bool expected = true) {
    if (expected)
      WaitFor([&] { return !listener.changes.empty(); }, 5000);
    Settle(expected ? 100 : 300);
    return std::exchange(listener.changes, {});
  }

  SessionBus bus;
  std::unique_ptr<QDBusConnection> serviceSide;
  std::unique_ptr<QDBusConnection> clientSide;
  std::unique_ptr<MprisService> service;
  ChangeListener listener;
};

TEST_F(MprisTest, NamesThePlayerAndItsDesktopEntry) {
  EXPECT_EQ(Get(kRoot, QStringLiteral("Identity")).toString(), "Mellowdeck");
  EXPECT_EQ(Get(kRoot, QStringLiteral("DesktopEntry")).toString(), "mellowdeck");
  EXPECT_TRUE(Get(kRoot, QStringLiteral("CanRaise")).toBool());
  EXPECT_TRUE(Get(kRoot, QStringLiteral("CanQuit")).toBool());
  EXPECT_EQ(Get(kRoot, QStringLiteral("SupportedUriSchemes")).toStringList(), QStringList{"file"});
  QFile entry(QStringLiteral(MDK_SOURCE_DIR "/resources/mellowdeck.desktop"));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  QStringList entryTypes;
  for (const QByteArray& line : entry.readAll().split('\n'))
    if (line.startsWith("MimeType="))
      entryTypes = QString::fromUtf8(line.mid(9)).split(';', Qt::SkipEmptyParts);
  EXPECT_EQ(Get(kRoot, QStringLiteral("SupportedMimeTypes")).toStringList(), entryTypes);
}

// A command whose button is greyed does nothing, whoever asks for it.
TEST_F(MprisTest, CommandsRunOnlyWhileTheirItemIsEnabled) {
  SetList({" /m/a.wav"}, 0);
  player.mode = mpStopped;
  form->Timer1Timer();
  TakeCalls();
  EXPECT_FALSE(Get(kPlayer, QStringLiteral("CanGoNext")).toBool());
  EXPECT_FALSE(Get(kPlayer, QStringLiteral("CanPause")).toBool());
  EXPECT_TRUE(Get(kPlayer, QStringLiteral("CanPlay")).toBool());
  for (const char* method : {"Next", "Previous", "Pause"})
    Call(kPlayer, QString::fromLatin1(method));
  EXPECT_TRUE(TakeCalls().empty());

  Call(kPlayer, QStringLiteral("PlayPause"));
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"TrayModify Mellowdeck (a.wav)", "Open /m/a.wav", "Play"}));
  form->Timer1Timer();
  Call(kPlayer, QStringLiteral("PlayPause"));
  EXPECT_EQ(player.mode, mpPaused);
  EXPECT_EQ(Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Paused");
  form->Timer1Timer();
  Call(kPlayer, QStringLiteral("Stop"));
  EXPECT_EQ(player.mode, mpStopped);
  EXPECT_EQ(Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Stopped");
}

TEST_F(MprisTest, StatusAndMetadataFollowWhatPlays) {
  EXPECT_EQ(Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Stopped");
  EXPECT_EQ(Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
            "/org/mpris/MediaPlayer2/TrackList/NoTrack");

  player.length = 2500;
  player.position = 1200;
  SetList({" /m/first song.wav", " /m/b.wav"}, 0);
  form->PlayStep(0);
  EXPECT_EQ(Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Playing");
  const QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value("xesam:title").toString(), "first song.wav");
  EXPECT_EQ(metadata.value("xesam:url").toString(), "file:///m/first%20song.wav");
  EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 2'500'000);
  EXPECT_EQ(Get(kPlayer, QStringLiteral("Position")).toLongLong(), 1'200'000);

  form->Timer1Timer();
  Call(kPlayer, QStringLiteral("Next"));
  const QVariantMap next = Metadata();
  EXPECT_EQ(next.value("xesam:title").toString(), "b.wav");
  EXPECT_NE(next.value("mpris:trackid").value<QDBusObjectPath>().path(),
            metadata.value("mpris:trackid").value<QDBusObjectPath>().path());
}

// Shuffle and loop go through the same toggles as the menu: markers and check
// marks included.
TEST_F(MprisTest, ShuffleAndLoopAreTheTwoModes) {
  SetList({" /m/a.wav", " /m/b.wav"}, -1);
  Set(QStringLiteral("Shuffle"), true);
  EXPECT_TRUE(Get(kPlayer, QStringLiteral("Shuffle")).toBool());
  EXPECT_EQ(Entries().front(), "<random>");
  EXPECT_TRUE(Action("random1")->isChecked());

  Set(QStringLiteral("LoopStatus"), QStringLiteral("Playlist"));
  EXPECT_EQ(Get(kPlayer, QStringLiteral("LoopStatus")).toString(), "Playlist");
  EXPECT_EQ(Entries()[1], "<autoplay>");
  EXPECT_TRUE(Button("TB_AutoPlay")->isChecked());

  Set(QStringLiteral("LoopStatus"), QStringLiteral("Track"));
  EXPECT_EQ(Get(kPlayer, QStringLiteral("LoopStatus")).toString(), "Playlist")
      << "one track on repeat is no mode of the player's";
  Set(QStringLiteral("LoopStatus"), QStringLiteral("None"));
  Set(QStringLiteral("Shuffle"), false);
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/a.wav", " /m/b.wav"}));
}

// Whatever changes the state, the desktop hears of it once.
TEST_F(MprisTest, AnnouncesChangesWhateverMadeThem) {
  SetList({" /m/a.wav", " /m/b.wav"}, 0);
  form->Timer1Timer();
  TakeChanges(false);

  Button("TB_Start")->click();
  std::vector<QVariantMap> changes = TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].value("PlaybackStatus").toString(), "Playing");
  EXPECT_TRUE(changes[0].contains("Metadata"));

  form->State().List().SetItems({" /m/a.wav"});
  QFile handed(programDir.filePath(QStringLiteral("mdk_tmp1.tmp")));
  ASSERT_TRUE(handed.open(QIODevice::WriteOnly));
  handed.write("/m/handed.wav");
  handed.close();
  form->ReadHandOffFiles();
  changes = TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  QVariantMap metadata;
  changes[0].value("Metadata").value<QDBusArgument>() >> metadata;
  EXPECT_EQ(metadata.value("xesam:title").toString(), "handed.wav");

  form->random1Click();
  changes = TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].value("Shuffle"), true);

  form->Timer1Timer();
  TakeChanges(false);
  form->Timer1Timer();
  EXPECT_TRUE(TakeChanges(false).empty()) << "a tick that changes nothing announces nothing";
}

TEST_F(MprisTest, RaiseShowsTheHiddenWindowAndOpenUriPlaysAFile) {
  form->show();
  form->hide();
  Call(kRoot, QStringLiteral("Raise"));
  EXPECT_TRUE(form->isVisible());

  SetList({" /m/a.wav"}, 0);
  TakeCalls();
  Call(kPlayer, QStringLiteral("OpenUri"), {QStringLiteral("https://example.org/a.wav")});
  EXPECT_TRUE(TakeCalls().empty()) << "only local files";
  Call(kPlayer, QStringLiteral("OpenUri"),
       {QUrl::fromLocalFile(QStringLiteral("/m/new song.mp3")).toString()});
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/a.wav", "/m/new song.mp3"}));
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck (new song.mp3)",
                                                   "Open /m/new song.mp3", "Play"}));
}

// The file arrives from the event loop, where nothing else would catch a
// fault: it must reach the error box, and the player must go on serving.
TEST_F(MprisTest, AFaultWhileOpeningAUriReachesTheErrorBox) {
  CapturedErrors errors;
  player.broken.insert("/m/broken.wav");
  Call(kPlayer, QStringLiteral("OpenUri"),
       {QUrl::fromLocalFile(QStringLiteral("/m/broken.wav")).toString()});
  ASSERT_EQ(errors.messages.size(), 1);
  EXPECT_TRUE(errors.messages[0].contains(QStringLiteral("broken.wav")));
  EXPECT_EQ(Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
}

} // namespace

#include "mpris_service_test.moc"
