#include "rules/handoff_inbox.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The poll scans every second; a directory that has not changed since it
// was found settled is not listed again, and a new file always is seen.
class SettledDirectory : public ::testing::Test {
protected:
  SettledDirectory() { SetModified(-60); }

  void SetModified(time_t secondsFromNow) {
    timespec times[2] = {{0, UTIME_OMIT}, {time(nullptr) + secondsFromNow, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path().constData(), times, 0), 0);
  }
  void Drop(const char* name, const QByteArray& text) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  std::vector<QByteArray> Collect() {
    std::vector<QByteArray> taken;
    inbox.Collect(Path(), [&](const QByteArray& text) { taken.push_back(text); });
    return taken;
  }
  QByteArray Path() const { return QFile::encodeName(dir.path()); }

  QTemporaryDir dir;
  HandOffInbox inbox;
};

TEST_F(SettledDirectory, ANewFileIsTakenAtTheNextScan) {
  EXPECT_TRUE(Collect().empty());
  Drop("mdk_tmp1.tmp", "/m/a.wav");
  EXPECT_EQ(Collect(), std::vector<QByteArray>{"/m/a.wav"});
}

TEST_F(SettledDirectory, IsNotListedAgainUntilItChanges) {
  EXPECT_TRUE(Collect().empty());
  // A file slipped in without the directory's time moving: not looked for.
  Drop("mdk_tmp1.tmp", "/m/a.wav");
  SetModified(-60);
  EXPECT_TRUE(Collect().empty());
  SetModified(0);
  EXPECT_EQ(Collect(), std::vector<QByteArray>{"/m/a.wav"});
}

// The status poll rests only on a directory whose next scan would take nothing.
TEST_F(SettledDirectory, SettledOnlyWhileItsLastScanFoundItSo) {
  EXPECT_FALSE(inbox.Settled(Path())) << "not scanned yet";
  Collect();
  EXPECT_TRUE(inbox.Settled(Path()));

  // A time the clock has not passed by two seconds: it may change again
  // within the tick of its clock that the scan saw.
  SetModified(60);
  Collect();
  EXPECT_FALSE(inbox.Settled(Path()));
  SetModified(-60);
  Collect();
  EXPECT_TRUE(inbox.Settled(Path()));

  ASSERT_TRUE(dir.remove());
  Collect();
  EXPECT_FALSE(inbox.Settled(Path())) << "a directory that went away";
}

} // namespace
