#include "app/handoff_watch.h"
#include "platform/mdk_error.h"
#include "platform/random_source.h"
#include "rules/handoff_writer.h"
#include "support/captured_errors.h"
#include "support/wait.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(HandOffWatch, RunsTheReaderSoonAfterAFileAppearsAndGuardsIt) {
  QTemporaryDir dir;
  CapturedErrors errors;
  CLibraryRandom random;
  int runs = 0;
  HandOffWatch watch({dir.path(), dir.filePath("missing")}, [&] {
    ++runs;
    throw MdkError("reader failed");
  });

  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "/m/a.wav", random));
  EXPECT_TRUE(WaitFor([&] { return runs > 0; }));
  EXPECT_TRUE(WaitFor([&] { return !errors.messages.isEmpty(); }));
  EXPECT_EQ(errors.messages.value(0), "reader failed");
}

// A run that waits (an error box has a loop of its own) must not have a second
// run start inside it; the file that came meanwhile is read right after.
TEST(HandOffWatch, AFileArrivingDuringARunIsReadByTheNextRunNotInsideIt) {
  QTemporaryDir dir;
  CLibraryRandom random;
  int runs = 0;
  int depth = 0;
  int deepest = 0;
  HandOffWatch watch({dir.path()}, [&] {
    ++runs;
    deepest = std::max(deepest, ++depth);
    if (runs == 1) {
      EXPECT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "/m/b.wav", random));
      // The change is delivered here if anywhere; a run nested in this one
      // would end the wait early.
      WaitFor([&] { return runs > 1; }, 1000);
    }
    --depth;
  });

  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "/m/a.wav", random));
  EXPECT_TRUE(WaitFor([&] { return runs >= 2; }));
  EXPECT_EQ(deepest, 1);
}

} // namespace
