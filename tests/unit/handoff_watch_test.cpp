#include "app/handoff_watch.h"
#include "platform/mdk_error.h"
#include "platform/random_source.h"
#include "rules/handoff_writer.h"
#include "support/captured_errors.h"
#include "support/wait.h"

#include <QDir>
#include <QTemporaryDir>
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

} // namespace
