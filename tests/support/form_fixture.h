#pragma once

#include "Mdkmain.h"
#include "platform/error_box.h"
#include "platform/list_box.h"
#include "support/fakes.h"
#include "support/find_widget.h"

#include <QAction>
#include <QStringList>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// TForm1 on recording fakes in a temporary program directory, with a poll
// that runs only when a test calls Timer1Timer, and error boxes recorded
// instead of shown.
class FormTest : public ::testing::Test {
public:
  FormTest();
  ~FormTest() override;

  // Makes a fresh window (FormCreate not yet run).
  void Rebuild() { Rebuild(player, false); }
  // A window over another player, or with its poll running by itself.
  void Rebuild(MediaPlayer& withPlayer, bool pollsByItself);
  // Entries and selection in one go, without running any handler.
  void SetList(const std::vector<QByteArray>& entries, int selected = -1);
  std::vector<QByteArray> Entries() const { return form->State().List().Items(); }
  Playlist& TheList() { return form->State().List(); }
  template <class T = QWidget> T* Widget(const char* name) const { return FindIn<T>(*form, name); }
  QAction* Action(const char* name) const { return Widget<QAction>(name); }
  QToolButton* Button(const char* name) const { return Widget<QToolButton>(name); }
  ListBox* ListView() const { return Widget<ListBox>("ListBox1"); }
  // How many positions the shuffle holds as played in its cycle.
  int PlayedCount() const;
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
