#pragma once

#include "platform/file_dialogs.h"
#include "playback/player_state.h"
#include "rules/handoff_inbox.h"
#include "ui_Mdkmain.h"

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class MediaPlayer;
class QMenu;
class QTimer;
class RandomSource;
class TForm2;
class TrayShell;

// What the window stands on; the program hands in the real platform, tests
// hand in recording fakes and a directory of their own.
struct FormPlatform {
  MediaPlayer& player;
  TrayShell& tray;
  FileDialogs& dialogs;
  // The shuffle's seeds and draws.
  RandomSource& random;
  // Where hand-off files, the playlist dialogs and readme.txt live.
  QString programDirectory;
  // Extra directories the hand-off reader scans after the program's own.
  QStringList handOffDirectories = {};
  // Whether the status poll runs every second by itself (while it has
  // anything to do); tests run it by hand.
  bool pollsByItself = true;
};

// The main window: it shows the player's state and turns the user's commands
// into changes of it, of the media player and of the tray.
class TForm1 : public QWidget {
  Q_OBJECT
public:
  static constexpr int kCurrentTitleBytes = 511;

  explicit TForm1(const FormPlatform& platform, QWidget* parent = nullptr);
  ~TForm1() override;

  // What the player is; whoever follows it listens to its Changed.
  PlayerState& State() { return state_; }
  const PlayerState& State() const { return state_; }

  // What other programs may ask of the player (media keys, desktop media
  // controls): each runs as a click of its menu item would, and only while
  // that item is enabled.
  enum class Command {
    Play,
    Pause,
    Stop,
    Next,
    Previous,
    ShowWindow,
    Exit,
    RandomPlay,
    ContinuousPlay
  };
  bool CanRun(Command command) const;
  // Whether the command ran.
  bool Run(Command command);
  // The menu item of a command, for following its enabled state.
  QAction* CommandItem(Command command) const;

  // Start-up and teardown.
  void FormCreate(const std::vector<QByteArray>& arguments);
  void FormDestroy();
  void SetManualWindow(TForm2* manual) { Form2 = manual; }
  // Whether a hand-off directory is watched, so that a file arriving in it is
  // read the moment it appears: the poll leaves a settled one to the watch.
  void SetHandOffWatched(std::function<bool(const QString& directory)> watched);

  // Playlist.
  int CountPlayable() const;
  void ReadHandOffFiles();
  // A file handed over while the program runs, the way a second launch hands
  // one: an acceptable entry is appended and played at once.
  void TakeHandedFile(const QByteArray& entry);
  // Files dropped onto the window, taken as a second launch's are: appended in
  // their order, the first of them played and the rest waiting in the list.
  void TakeDroppedFiles(std::vector<QByteArray> entries);

  // Playback.
  void StopPlayback();
  bool PlayStep(int step);
  void Timer1Timer();

  // Tray.
  void AddTrayIcon();
  void RemoveTrayIcon();

  // Command handlers, one per command, shared by every control that reaches it.
  void appendmusicfile1Click();
  void removemusicfile1Click();
  void removeall1Click();
  void PopupMenu1Popup();
  void copyto1Click();
  void loadlist1Click();
  void savelist1Click();
  void startplay1Click();
  void stopplay1Click();
  void pauseplay1Click();
  void nextfile1Click();
  void previousfile1Click();
  void random1Click();
  void automaticplay1Click();
  void ListBox1Click();
  void ListBox1DblClick();
  void FormKeyUp(int key);
  void manual1Click();
  void Openmainwindows1Click();
  void ninjaClick();
  void exit1Click();
  void TrayContextRequest(QPoint screenPosition);

signals:
  // The main window has closed: the program ends.
  void Closed();

protected:
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void SetUpLook();
  void BuildMenus();
  void BindCommands();
  void BindCommand(QAction* action, void (TForm1::*handler)());
  void BindCommand(QAbstractButton* button, void (TForm1::*handler)());
  void RunHandler(const std::function<void()>& handler);
  void WakePoll();
  bool CollectHandOffFiles();
  void ShowModes();
  void ShowTrayState();
  struct PendingStep;
  enum class StepOutcome { Opened, NothingSelected, Refused, Failed };
  bool PlayStepFrom(int step, std::vector<PendingStep>& pending);
  StepOutcome PlaySelected();
  void SelectInOrder(int step);
  void DeleteEveryEntry(const QByteArray& text);
  void SetCommandEnabled(QAction* item, QAbstractButton* button, bool enabled);
  void ReportOutputFailure(const QString& message);
  void ReportOutputNotice();

  Ui::TForm1 ui_;
  PlayerState state_;
  // The list inside the state, named as the window's commands know it.
  Playlist& list_;
  MediaPlayer* MediaPlayer1;
  QMenu* PopupMenu1;
  QMenu* PopupMenu2;
  QTimer* Timer1;
  // The toolbar's pictures by index: coloured at even indices 0-22 with their
  // grey twins after them, the smiling face at 24, the question marks at 25-26.
  std::array<QIcon, 27> ImageList1;
  FileDialogSetup OpenDialog1;
  FileDialogSetup OpenDialog3;
  FileDialogSetup SaveDialog2;
  TForm2* Form2 = nullptr;
  std::array<QIcon, 3> StateIcons;

  TrayShell& tray_;
  FileDialogs& dialogs_;
  QString programDirectory_;
  QStringList handOffDirectories_;
  HandOffInbox handOffInbox_;
  std::function<bool(const QString&)> handOffWatched_;
  bool pollsByItself_;
  // Something may have changed what the poll reads since its last tick.
  bool pollStirred_ = true;
  bool destroyed_ = false;
  // Set from a failure of the sound or video output until a file opens again.
  bool outputFailing_ = false;
};
