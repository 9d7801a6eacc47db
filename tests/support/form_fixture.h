#pragma once

#include "Mdkmain.h"
#include "platform/error_box.h"
#include "support/fakes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// TForm1 on recording fakes in a temporary program directory, with the
// timer stopped so that ticks run only when a test calls Timer1Timer, and
// error boxes recorded instead of shown.
class FormTest : public ::testing::Test {
protected:
  FormTest();
  ~FormTest() override;

  // Makes a fresh window (FormCreate not yet run).
  void Rebuild();
  // Entries and selection in one go, without running any handler.
  void SetList(const std::vector<QByteArray>& entries, int selected = -1);
  std::vector<QByteArray> Entries() const { return form->ListBox1->Items(); }
  std::vector<std::string> TakeCalls();

  QTemporaryDir programDir;
  CallLog log;
  RecordingMediaPlayer player{log};
  RecordingTrayShell tray{log};
  ScriptedDialogs dialogs;
  ScriptedRandom random;
  QStringList errors;
  std::unique_ptr<TForm1> form;

private:
  ErrorPresenter previousPresenter_;
};
