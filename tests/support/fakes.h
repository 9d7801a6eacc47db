#pragma once

#include "platform/file_dialogs.h"
#include "platform/mdk_error.h"
#include "platform/media_player.h"
#include "platform/random_source.h"
#include "platform/tray_shell.h"

#include <deque>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// One ordered record of the calls into every fake, so that tests can check
// the order of player and tray calls together.
struct CallLog {
  std::vector<std::string> calls;
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

// A player that records its calls; opens of the names in `failing` throw.
class RecordingMediaPlayer : public MediaPlayer {
public:
  explicit RecordingMediaPlayer(CallLog& log) : log_(log) {}

  std::set<std::string> failing;
  // Opens of these names fail the way a fault in the program would.
  std::set<std::string> broken;
  // Opens of these names fail as the output's fault, not the file's.
  std::set<std::string> outputFailing;
  std::string outputNotice;
  int mode = mpNotReady;
  std::int64_t length = 0;
  std::int64_t position = 0;
  int error = 0;
  bool open = false;

  void SetFileName(const std::string& fileName) override { fileName_ = fileName; }
  std::string FileName() const override { return fileName_; }
  void Open() override {
    log_.Add("Open " + fileName_);
    open = false;
    mode = mpNotReady;
    if (failing.count(fileName_))
      throw MdkError("cannot open " + fileName_);
    if (outputFailing.count(fileName_))
      throw MdkOutputError("the sound output does not work for " + fileName_);
    if (broken.count(fileName_))
      throw std::logic_error("a fault of the program's own with " + fileName_);
    open = true;
    mode = mpStopped;
  }
  void Play() override {
    Require("Play");
    mode = mpPlaying;
  }
  void Pause() override {
    Require("Pause");
    mode = mpPaused;
  }
  void Stop() override {
    Require("Stop");
    mode = mpStopped;
  }
  void Close() override {
    log_.Add("Close");
    open = false;
    mode = mpNotReady;
  }
  int Mode() override { return mode; }
  std::int64_t Length() override {
    if (!open)
      throw MdkError("not open");
    return length;
  }
  std::int64_t Position() override { return position; }
  int Error() const override { return error; }
  std::string TakeOutputNotice() override { return std::exchange(outputNotice, {}); }

private:
  void Require(const char* call) {
    log_.Add(call);
    if (!open)
      throw MdkError("The media is not open.");
  }
  CallLog& log_;
  std::string fileName_;
};

// A tray that records its calls as "TrayAdd <tip>", "TrayModify <tip>" and
// "TrayDelete"; the icon last shown is kept for comparison.
class RecordingTrayShell : public TrayShell {
public:
  explicit RecordingTrayShell(CallLog& log) : log_(log) {}

  bool available = true;
  QIcon icon;
  QByteArray tip;

  void Add(const QIcon& i, const QByteArray& t) override { Record("TrayAdd ", i, t); }
  void Modify(const QIcon& i, const QByteArray& t) override { Record("TrayModify ", i, t); }
  void Delete() override { log_.Add("TrayDelete"); }
  bool Available() const override { return available; }
  void ShareMenu(QMenu* menu) override { sharedMenu = menu; }

  QMenu* sharedMenu = nullptr;

private:
  void Record(const char* what, const QIcon& i, const QByteArray& t) {
    icon = i;
    tip = t;
    log_.Add(what + t.toStdString());
  }
  CallLog& log_;
};

// The C library's generator, with the clock and the first draws scripted
// when a test sets them; every seed it is given is recorded.
class ScriptedRandom : public RandomSource {
public:
  std::optional<unsigned> clock;
  std::deque<int> draws;
  std::vector<unsigned> seeds;

  unsigned ClockSeed() override { return clock ? *clock : real_.ClockSeed(); }
  void Seed(unsigned seed) override {
    seeds.push_back(seed);
    real_.Seed(seed);
  }
  int Draw() override {
    if (draws.empty())
      return real_.Draw();
    const int value = draws.front();
    draws.pop_front();
    return value;
  }

private:
  CLibraryRandom real_;
};

// Dialogs answered from queues; an empty answer (or an empty queue) is a
// cancel.
class ScriptedDialogs : public FileDialogs {
public:
  std::deque<QStringList> openAnswers;
  std::deque<QString> saveAnswers;
  std::vector<FileDialogSetup> seen;

  std::optional<QStringList> OpenFiles(FileDialogSetup& setup) override {
    seen.push_back(setup);
    const QStringList answer = openAnswers.empty() ? QStringList() : openAnswers.front();
    if (!openAnswers.empty())
      openAnswers.pop_front();
    if (answer.isEmpty())
      return std::nullopt;
    return answer;
  }
  std::optional<QString> SaveFile(FileDialogSetup& setup) override {
    seen.push_back(setup);
    const QString answer = saveAnswers.empty() ? QString() : saveAnswers.front();
    if (!saveAnswers.empty())
      saveAnswers.pop_front();
    if (answer.isEmpty())
      return std::nullopt;
    return answer;
  }
};
