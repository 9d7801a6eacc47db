#include "app/second_launch.h"
#include "rules/handoff_files.h"
#include "rules/handoff_writer.h"
#include "rules/runtime_paths.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

QStringList FilesIn(const QString& dir) {
  return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

TEST(HandOffWriter, TakesTheFirstFreeNameOfTheClockSeededSequenceAndKeepsTheBytes) {
  QTemporaryDir dir;
  const std::string text = "/m/\xe6\x9b\xb2 one.wav\x82\xa0";
  ScriptedRandom random;
  random.clock = 1700000000;
  random.draws = {41, 42, 41, 42, 43};
  Put(dir.filePath("mdk_tmp41.tmp"), "old");

  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), text, random));
  // Every file starts the sequence over from the clock's second, so a second
  // file of the same second walks past the names the first one took.
  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "", random));

  EXPECT_EQ(random.seeds, (std::vector<unsigned>{1700000000, 1700000000}));
  EXPECT_EQ(FilesIn(dir.path()), (QStringList{"mdk_tmp41.tmp", "mdk_tmp42.tmp", "mdk_tmp43.tmp"}))
      << "no part file stays behind";
  EXPECT_EQ(Contents(dir.filePath("mdk_tmp41.tmp")), "old")
      << "an existing file is never overwritten";
  EXPECT_EQ(Contents(dir.filePath("mdk_tmp42.tmp")).toStdString(), text);
  EXPECT_EQ(Contents(dir.filePath("mdk_tmp43.tmp")), "");
}

TEST(HandOffWriter, NamesFollowTheCLibrarysSequenceForTheSecond) {
  QTemporaryDir dir;
  ScriptedRandom random;
  random.clock = 1234;
  std::srand(1234);
  const int first = std::rand();
  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "/m/a.wav", random));
  EXPECT_EQ(FilesIn(dir.path()), QStringList{QString::fromStdString(HandOffName(first))});
}

TEST(HandOffWriter, TriesAHundredNamesAtMost) {
  for (int taken : {99, 100}) {
    SCOPED_TRACE(taken);
    QTemporaryDir dir;
    ScriptedRandom random;
    random.clock = 5;
    for (int i = 0; i < 100; ++i)
      random.draws.push_back(i);
    for (int i = 0; i < taken; ++i)
      Put(dir.filePath(QString::fromStdString(HandOffName(i))), "x");
    const bool written = WriteHandOffFileIn(dir.path().toStdString(), "/m/a.wav", random);
    EXPECT_EQ(written, taken < 100);
    EXPECT_EQ(FilesIn(dir.path()).size(), taken + (written ? 1 : 0));
    if (written) {
      EXPECT_EQ(Contents(dir.filePath(QString::fromStdString(HandOffName(99)))), "/m/a.wav");
    }
  }
}

TEST(HandOffWriter, FallsBackToThePrivateDirectoryWhenTheProgramDirectoryRefuses) {
  QTemporaryDir root;
  Put(root.filePath("plain-file"), "");
  for (const char* programDirectory : {"missing", "plain-file"}) {
    SCOPED_TRACE(programDirectory);
    const QString fallback = root.filePath(QStringLiteral("fallback-%1").arg(programDirectory));
    CLibraryRandom random;
    ASSERT_TRUE(WriteHandOffFile(
        "/m/a.wav", {root.filePath(programDirectory).toStdString(), fallback.toStdString()},
        random));
    const QStringList files = FilesIn(fallback);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(IsHandOffName(files[0].toStdString()));
    EXPECT_EQ(Contents(fallback + '/' + files[0]), "/m/a.wav");
    struct stat status {};
    ASSERT_EQ(stat(fallback.toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
  }
}

TEST(HandOffWriter, OnlyAPrivateDirectoryOfOursServesAsFallback) {
  QTemporaryDir root;
  const auto path = [&](const char* name) { return root.filePath(name).toStdString(); };
  ASSERT_EQ(mkdir(path("open").c_str(), 0777), 0);
  ASSERT_EQ(chmod(path("open").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(path("private").c_str(), 0700), 0);
  ASSERT_EQ(symlink(path("private").c_str(), path("link").c_str()), 0);
  Put(root.filePath("file"), "");

  const struct {
    const char* name;
    bool usable;
  } cases[] = {{"new", true}, {"private", true}, {"open", false}, {"link", false}, {"file", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EnsurePrivateDirectory(path(c.name)), c.usable);
  }
}

TEST(HandOffWriter, RelativeArgumentsBecomeAbsoluteAndEntryFormsStayAsTheyAre) {
  const struct {
    const char* argument;
    const char* currentDirectory;
    const char* written;
  } cases[] = {
      {"a.wav", "/home/u", "/home/u/a.wav"},
      {"../b c.wav", "/home/u", "/home/u/../b c.wav"},
      {"/m/a.wav", "/home/u", "/m/a.wav"},
      {"a.wav", "/", "/a.wav"},
      {"", "/home/u", ""},
      {"a.wav", "", "a.wav"},
      {"*x.wav", "/home/u", "*x.wav"},
      {"<x>", "/home/u", "<x>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(AbsoluteArgument(c.argument, c.currentDirectory), c.written);
  }
}

TEST(SecondLaunch, WritesOneFilePerArgumentAndAlwaysEndsWithOne) {
  QTemporaryDir program;
  QTemporaryDir runtime;
  const HandOffPlaces places{program.path().toStdString(),
                             runtime.filePath("mellowdeck").toStdString()};
  std::ostringstream errors;

  EXPECT_EQ(RunSecondLaunch({}, places, "/work", errors), 1);
  EXPECT_TRUE(FilesIn(program.path()).isEmpty());

  EXPECT_EQ(RunSecondLaunch({"/m/a.wav", "b.wav", "sub/c.wav"}, places, "/work", errors), 1);
  QList<QByteArray> written;
  for (const QString& name : FilesIn(program.path()))
    written << Contents(program.filePath(name));
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (QList<QByteArray>{"/m/a.wav", "/work/b.wav", "/work/sub/c.wav"}));
  EXPECT_EQ(errors.str(), "");
}

TEST(SecondLaunch, SaysSoWhenAnArgumentCannotBeHandedOver) {
  QTemporaryDir root;
  Put(root.filePath("not-a-directory"), "");
  const HandOffPlaces places{root.filePath("missing").toStdString(),
                             root.filePath("not-a-directory").toStdString()};
  std::ostringstream errors;
  EXPECT_EQ(RunSecondLaunch({"/m/a.wav", "/m/b.wav"}, places, "/", errors), 1);
  const std::string message = errors.str();
  EXPECT_NE(message.find("\"/m/a.wav\""), std::string::npos) << message;
  EXPECT_NE(message.find("\"/m/b.wav\""), std::string::npos) << message;
}

} // namespace
