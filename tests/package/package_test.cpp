#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
  bool ended = false;
  int exitCode = -1;
  // Both streams.
  QByteArray output;

  bool Succeeded() const { return ended && exitCode == 0; }
};

// Packing and lint read and write whole trees: a busy machine needs time,
// but a tool that hangs still fails.
ToolRun RunToEnd(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.setProcessChannelMode(QProcess::MergedChannels);
  tool.start(program, arguments);
  ToolRun run;
  run.ended = tool.waitForFinished(180000);
  if (!run.ended) {
    tool.kill();
    tool.waitForFinished();
  }
  run.output = tool.readAll();
  if (run.ended && tool.exitStatus() == QProcess::NormalExit)
    run.exitCode = tool.exitCode();
  return run;
}

bool Installed(const QString& program) {
  return !QStandardPaths::findExecutable(program).isEmpty();
}

// The packages of scripts/install-deps' "run" groups: whatever playback needs
// on a user's machine, which the package must bring along.
QStringList RunPackages() {
  QFile script(QStringLiteral(MDK_SOURCE_DIR "/scripts/install-deps"));
  EXPECT_TRUE(script.open(QIODevice::ReadOnly | QIODevice::Text));
  QStringList packages;
  bool inRunGroup = false;
  while (!script.atEnd()) {
    const QString line = QString::fromUtf8(script.readLine()).trimmed();
    if (line.startsWith(u'#'))
      inRunGroup = line.startsWith(QStringLiteral("# run"));
    else if (line == u')')
      break;
    else if (inRunGroup)
      packages << line.split(u' ', Qt::SkipEmptyParts);
  }
  return packages;
}

// The package as `make package` builds it from this build, and its files
// unpacked as dpkg would install them.
class Package : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(work.isValid());
    const ToolRun pack =
        RunToEnd(QStringLiteral(MDK_CPACK),
                 {"-G", "DEB", "--config", MDK_BUILD_DIR "/CPackConfig.cmake", "-B", work.path()});
    ASSERT_TRUE(pack.Succeeded()) << pack.output.toStdString();
    const QStringList packages =
        QDir(work.path()).entryList({QStringLiteral("mellowdeck_*.deb")}, QDir::Files);
    ASSERT_EQ(packages.size(), 1) << pack.output.toStdString();
    deb = work.filePath(packages.first());
    const ToolRun unpack = RunToEnd(QStringLiteral("dpkg-deb"), {"-x", deb, Unpacked({})});
    ASSERT_TRUE(unpack.Succeeded()) << unpack.output.toStdString();
  }

  QString Unpacked(const QString& path) const { return work.filePath("root/" + path); }
  QByteArray Field(const QString& name) const {
    return RunToEnd(QStringLiteral("dpkg-deb"), {"-f", deb, name}).output.trimmed();
  }

  QTemporaryDir work;
  QString deb;
};

TEST_F(Package, HoldsTheProgramItsEntryIconsMetadataManualAndDocuments) {
  for (const char* path :
       {"usr/bin/mellowdeck", "usr/share/applications/mellowdeck.desktop",
        "usr/share/icons/hicolor/scalable/apps/mellowdeck.svg",
        "usr/share/metainfo/io.github.mellowdeck.Mellowdeck.metainfo.xml", "usr/share/man/man1/mellowdeck.1.gz",
        "usr/share/doc/mellowdeck/copyright", "usr/share/doc/mellowdeck/changelog.Debian.gz"})
    EXPECT_TRUE(QFileInfo(Unpacked(path)).isFile()) << path << " is missing";

  // Rendered at build time: each must be a picture of its folder's size.
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString icon =
        Unpacked(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/mellowdeck.png").arg(size));
    const QImage picture(icon);
    EXPECT_EQ(picture.size(), QSize(size, size)) << icon.toStdString();
    EXPECT_TRUE(picture.hasAlphaChannel()) << icon.toStdString() << " has no transparent corners";
  }

  QFile copyright(Unpacked(QStringLiteral("usr/share/doc/mellowdeck/copyright")));
  ASSERT_TRUE(copyright.open(QIODevice::ReadOnly));
  const QByteArray licence = copyright.readAll();
  EXPECT_TRUE(licence.contains("Copyright 2026 The Mellowdeck developers"));
  EXPECT_TRUE(licence.contains("Permission is hereby granted, free of charge"));

  // Debug sections would make the package many times its size.
  const ToolRun sections = RunToEnd(QStringLiteral("readelf"),
                                    {"-S", "-W", Unpacked(QStringLiteral("usr/bin/mellowdeck"))});
  ASSERT_TRUE(sections.Succeeded()) << sections.output.toStdString();
  EXPECT_FALSE(sections.output.contains(".symtab")) << "the program is not stripped";
  EXPECT_FALSE(sections.output.contains(".debug_info")) << "the program is not stripped";
}

TEST_F(Package, ItsFieldsNameTheVersionSectionMaintainerAndWhatPlaybackNeeds) {
  const ToolRun version =
      RunToEnd(Unpacked(QStringLiteral("usr/bin/mellowdeck")), {QStringLiteral("--version")});
  ASSERT_TRUE(version.Succeeded()) << version.output.toStdString();
  const QByteArray programVersion = version.output.trimmed().split(' ').last();
  const QByteArray packageVersion = Field("Version");
  EXPECT_TRUE(packageVersion.startsWith(programVersion + '-'))
      << packageVersion.toStdString() << " is not a package of " << programVersion.toStdString();
  EXPECT_EQ(Field("Section"), "sound");
  EXPECT_TRUE(QString::fromUtf8(Field("Maintainer"))
                  .contains(QRegularExpression(QStringLiteral("^[^<>]+ <[^<>@ ]+@[^<> ]+>$"))))
      << Field("Maintainer").toStdString();

  const QStringList depends =
      QString::fromUtf8(Field("Depends"))
          .split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts)
          .replaceInStrings(QRegularExpression(QStringLiteral("\\s*\\(.*\\)|\\s")), {});
  const QStringList needed = RunPackages();
  ASSERT_FALSE(needed.isEmpty()) << "scripts/install-deps has no run group";
  for (const QString& package : needed)
    EXPECT_TRUE(depends.contains(package)) << package.toStdString() << " is not a dependency";
  // What the libraries the program links need, found by dpkg-shlibdeps.
  for (const char* library : {"libqt6widgets6", "libgstreamer1.0-0", "libc6"})
    EXPECT_TRUE(depends.contains(QLatin1String(library))) << library << " is not a dependency";
}

TEST_F(Package, ItsEntryAndMetadataPassTheirValidators) {
  if (!Installed(QStringLiteral("desktop-file-validate")) ||
      !Installed(QStringLiteral("appstreamcli")))
    GTEST_SKIP() << "needs desktop-file-validate (desktop-file-utils) and appstreamcli (appstream)";
  const ToolRun entry =
      RunToEnd(QStringLiteral("desktop-file-validate"),
               {Unpacked(QStringLiteral("usr/share/applications/mellowdeck.desktop"))});
  // It fails only on errors, and says more than nothing on a warning.
  EXPECT_TRUE(entry.Succeeded() && entry.output.isEmpty()) << entry.output.toStdString();
  const ToolRun metadata =
      RunToEnd(QStringLiteral("appstreamcli"),
               {"validate", "--no-net",
                Unpacked(QStringLiteral("usr/share/metainfo/io.github.mellowdeck.Mellowdeck.metainfo.xml"))});
  EXPECT_TRUE(metadata.Succeeded()) << metadata.output.toStdString();
}

TEST_F(Package, LintianFindsNoErrors) {
  if (!Installed(QStringLiteral("lintian")))
    GTEST_SKIP() << "lintian is not installed: the package was not linted";
  const ToolRun lint = RunToEnd(QStringLiteral("lintian"), {deb});
  ASSERT_TRUE(lint.ended) << "lintian did not end";
  const QStringList errors = QString::fromUtf8(lint.output)
                                 .split(u'\n')
                                 .filter(QRegularExpression(QStringLiteral("^E: ")));
  EXPECT_TRUE(errors.isEmpty()) << lint.output.toStdString();
}

// The unpacked program, started from where the package put it, on a display
// of its own, plays the sample to its end into a file.
TEST_F(Package, TheUnpackedProgramPlaysTheSample) {
  if (!Installed(QStringLiteral("xvfb-run")))
    GTEST_SKIP() << "needs xvfb-run (package xvfb)";
  const QString sample = QStringLiteral(MDK_SOURCE_DIR "/samples/mellow-chime.wav");
  const QString sound = work.filePath(QStringLiteral("sound.raw"));
  QTemporaryDir runtimeDir;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert("QT_QPA_PLATFORM", "xcb");
  environment.insert("XDG_RUNTIME_DIR", runtimeDir.path());
  environment.insert("MELLOWDECK_AUDIO_SINK", "filesink location=\"" + sound + '"');
  environment.insert("MELLOWDECK_VIDEO_SINK", "fakesink sync=true");

  // The player runs until the test closes the script's input; then the
  // script ends it, and xvfb-run its server.
  const char* script = R"sh("$1" "$2" & player=$!; read -r _; kill "$player"; wait "$player")sh";
  QProcess session;
  session.setProcessEnvironment(environment);
  session.setProcessChannelMode(QProcess::MergedChannels);
  session.start(
      QStringLiteral("xvfb-run"),
      {"-a", "sh", "-c", script, "sh", Unpacked(QStringLiteral("usr/bin/mellowdeck")), sample});
  ASSERT_TRUE(session.waitForStarted());
  // The sample is 8-bit PCM behind the plain 44-byte header; the sink gets
  // it as it is, so the whole sample is at least that many bytes.
  const qint64 samples = QFileInfo(sample).size() - 44;
  const bool played = WaitFor([&] { return QFileInfo(sound).size() >= samples; }, 60000);
  session.closeWriteChannel();
  const bool ended = session.waitForFinished(30000);
  if (!ended) {
    session.kill();
    session.waitForFinished();
  }
  EXPECT_TRUE(played) << QFileInfo(sound).size() << " of " << samples << " bytes played\n"
                      << session.readAll().toStdString();
  EXPECT_TRUE(ended) << "the player or its display did not end";
}

} // namespace
