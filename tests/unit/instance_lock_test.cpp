#include "app/instance_lock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using State = InstanceLock::State;

TEST(InstanceLock, HeldUntilReleasedOrClosed) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("_mellowdeck_.lock").toStdString();
  {
    InstanceLock first(path);
    ASSERT_EQ(first.GetState(), State::Acquired);
    // A second open of the file is its own open file description, as in
    // another process.
    EXPECT_EQ(InstanceLock(path).GetState(), State::HeldElsewhere);
    first.Release();
    InstanceLock next(path);
    EXPECT_EQ(next.GetState(), State::Acquired);
  }
  EXPECT_EQ(InstanceLock(path).GetState(), State::Acquired) << "closing releases it";
}

TEST(InstanceLock, ALockFileWeCannotTrustMeansNoLock) {
  QTemporaryDir dir;
  const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
  ASSERT_EQ(symlink(path("elsewhere").c_str(), path("link.lock").c_str()), 0);
  {
    QFile foreign(dir.filePath("foreign.lock"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  }
  const bool canChown = chown(path("foreign.lock").c_str(), getuid() + 1, getgid()) == 0;

  EXPECT_EQ(InstanceLock(path("missing/x.lock")).GetState(), State::Unavailable);
  EXPECT_EQ(InstanceLock(path("link.lock")).GetState(), State::Unavailable);
  EXPECT_FALSE(QFile::exists(dir.filePath("elsewhere"))) << "the link is not followed";
  if (canChown) {
    EXPECT_EQ(InstanceLock(path("foreign.lock")).GetState(), State::Unavailable);
  }
}

} // namespace
