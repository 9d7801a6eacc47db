#pragma once

#include "Mdkmain.h"
#include "support/fakes.h"

#include <QStringList>
#include <QTemporaryDir>

// TForm1 on recording fakes in a temporary program directory, its poll
// run by hand, for benchmarks that need a window without a test fixture.
struct FakeWindow {
  explicit FakeWindow(const QStringList& handOffDirectories = {});
  // On screen, so that the list really lays out.
  void Show();

  QTemporaryDir programDir;
  CallLog log;
  RecordingMediaPlayer player{log};
  RecordingTrayShell tray{log};
  ScriptedDialogs dialogs;
  ScriptedRandom random;
  TForm1 form;
};
