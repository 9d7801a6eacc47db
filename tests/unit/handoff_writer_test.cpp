#include "app/handoff_files.h"
#include "app/handoff_writer.h"
#include "app/runtime_paths.h"
#include "app/second_launch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

// The names a writer seeded at this second draws, in order.
std::vector<std::string> NamesFor(std::time_t second, int count) {
  std::srand(unsigned(second));
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    names.push_back(HandOffName(std::rand()));
  return names;
}

// Runs the check in a fresh directory until the clock's second did not
// change during it, so that the names drawn are known.
void AtSteadySecond(const std::function<void(const QString& dir, std::time_t second)>& check) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    QTemporaryDir dir;
    const std::time_t second = std::time(nullptr);
    check(dir.path(), second);
    if (std::time(nullptr) == second)
      return;
  }
  FAIL() << "the clock kept changing its second";
}

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

TEST(HandOffWriter, TakesTheFirstFreeNameOfTheTimeSeededSequenceAndKeepsTheBytes) {
  const std::string text = "/m/\xe6\x9b\xb2 one.wav\x82\xa0";
  AtSteadySecond([&](const QString& dir, std::time_t second) {
    const auto names = NamesFor(second, 3);
    const QString taken = dir + '/' + QString::fromStdString(names[0]);
    Put(taken, "old");
    ASSERT_TRUE(WriteHandOffFileIn(dir.toStdString(), text));
    // Other users of rand in between do not shift the names: every call re-seeds.
    std::srand(7);
    ASSERT_TRUE(WriteHandOffFileIn(dir.toStdString(), ""));

    const QStringList expected{QString::fromStdString(names[0]), QString::fromStdString(names[1]),
                               QString::fromStdString(names[2])};
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    EXPECT_EQ(FilesIn(dir), sortedExpected) << "no part file stays behind";
    EXPECT_EQ(Contents(taken), "old") << "an existing file is never overwritten";
    EXPECT_EQ(Contents(dir + '/' + expected[1]).toStdString(), text);
    EXPECT_EQ(Contents(dir + '/' + expected[2]), "");
  });
}

TEST(HandOffWriter, TriesAHundredNamesAtMost) {
  for (int taken : {99, 100}) {
    SCOPED_TRACE(taken);
    AtSteadySecond([&](const QString& dir, std::time_t second) {
      const auto names = NamesFor(second, 100);
      for (int i = 0; i < taken; ++i)
        Put(dir + '/' + QString::fromStdString(names[size_t(i)]), "x");
      const bool written = WriteHandOffFileIn(dir.toStdString(), "/m/a.wav");
      EXPECT_EQ(written, taken < 100);
      EXPECT_EQ(FilesIn(dir).size(), taken + (written ? 1 : 0));
      if (written) {
        EXPECT_EQ(Contents(dir + '/' + QString::fromStdString(names[99])), "/m/a.wav");
      }
    });
  }
}

TEST(HandOffWriter, FallsBackToThePrivateDirectoryWhenTheProgramDirectoryRefuses) {
  QTemporaryDir root;
  Put(root.filePath("plain-file"), "");
  for (const char* programDirectory : {"missing", "plain-file"}) {
    SCOPED_TRACE(programDirectory);
    const QString fallback = root.filePath(QStringLiteral("fallback-%1").arg(programDirectory));
    ASSERT_TRUE(WriteHandOffFile(
        "/m/a.wav", {root.filePath(programDirectory).toStdString(), fallback.toStdString()}));
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
