#include "platform/error_box.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every suite runs headless, with sinks that keep real time but make no
// sound, unless the caller chose otherwise.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  if (qgetenv("MELLOWDECK_AUDIO_SINK").isEmpty())
    qputenv("MELLOWDECK_AUDIO_SINK", "fakesink sync=true");
  if (qgetenv("MELLOWDECK_VIDEO_SINK").isEmpty())
    qputenv("MELLOWDECK_VIDEO_SINK", "fakesink sync=true");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // An error box that nobody expected is a failure, never a blocking dialog.
  SetErrorPresenter([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
  return RUN_ALL_TESTS();
}
