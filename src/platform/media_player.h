#pragma once

#include <cstdint>
#include <string>

// Player modes as the program reads them; 3, 4 and 6 are never acted upon.
enum MediaMode : int {
  mpNotReady = 0,
  mpStopped = 1,
  mpPlaying = 2,
  mpRecording = 3,
  mpSeeking = 4,
  mpPaused = 5,
  mpOpen = 6,
};

// The media device the window drives. All calls come from the GUI thread.
// Failures are thrown as MdkError with a message a user can read; a failure
// of the sound or video output rather than of the file is an MdkOutputError.
class MediaPlayer {
public:
  virtual ~MediaPlayer() = default;

  // The file that the next Open opens, as raw bytes; a relative name is
  // resolved against the current directory at the moment of Open.
  virtual void SetFileName(const std::string& fileName) = 0;
  virtual std::string FileName() const = 0;

  // Closes what is open, then opens FileName synchronously (bounded in time).
  // On success the media is at its start, Mode() is mpStopped and Error() 0;
  // on failure it throws and no media is open.
  virtual void Open() = 0;
  // Starts from the current position and returns at once; rewinds first when
  // the media is at its end. Throws only when no media is open.
  virtual void Play() = 0;
  virtual void Pause() = 0;
  // Throws the not-open error when no media is open.
  virtual void Stop() = 0;
  // Does nothing when no media is open.
  virtual void Close() = 0;

  virtual int Mode() = 0;
  // Milliseconds. Length throws when no media is open.
  virtual std::int64_t Length() = 0;
  virtual std::int64_t Position() = 0;
  // Result code of the last device command, 0 for success.
  virtual int Error() const = 0;
  // What is wrong with an output that does not stop play (no sound device,
  // so the media plays silently), once; empty when there is nothing new.
  virtual std::string TakeOutputNotice() = 0;
};
