#include "app/handoff_watch.h"
#include "app/handoff_writer.h"
#include "platform/error_box.h"
#include "platform/mdk_error.h"
#include "support/wait.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(HandOffWatch, RunsTheReaderSoonAfterAFileAppearsAndGuardsIt) {
  QTemporaryDir dir;
  QStringList errors;
  SetErrorPresenter([&errors](const QString& message) { errors << message; });
  int runs = 0;
  HandOffWatch watch({dir.path(), dir.filePath("missing")}, [&] {
    ++runs;
    throw MdkError("reader failed");
  });

  ASSERT_TRUE(WriteHandOffFileIn(dir.path().toStdString(), "/m/a.wav"));
  EXPECT_TRUE(WaitFor([&] { return runs > 0; }));
  EXPECT_TRUE(WaitFor([&] { return !errors.isEmpty(); }));
  EXPECT_EQ(errors.value(0), "reader failed");
  SetErrorPresenter([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
}

} // namespace
