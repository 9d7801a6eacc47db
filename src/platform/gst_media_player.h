#pragma once

#include "platform/gst_call_thread.h"
#include "platform/gst_sinks.h"
#include "platform/gst_video_window.h"
#include "platform/media_player.h"

#include <chrono>
#include <gst/gst.h>
#include <memory>

// MediaPlayer on GStreamer's playbin. One pipeline per opened media, so
// messages that arrive late die with the media they were posted for. Every
// call returns within its bound whatever the pipeline does: a pipeline that
// does not answer in time is given up, never waited on.
class GstMediaPlayer : public MediaPlayer {
public:
  // Error() codes besides 0.
  static constexpr int kErrorRefused = 1; // the command does not fit the mode
  static constexpr int kErrorFailed = 2;  // the media layer failed the command
  // How long Open waits for the media to get ready before it gives up.
  static constexpr std::chrono::milliseconds kOpenTimeout{4000};
  // How long a preroll may take before Open starts it once more.
  static constexpr std::chrono::milliseconds kStallRetry{1000};
  // How long Play, Pause, Stop and Close wait for the media layer.
  static constexpr std::chrono::milliseconds kCallTimeout{500};

  GstMediaPlayer();
  ~GstMediaPlayer() override;
  GstMediaPlayer(const GstMediaPlayer&) = delete;
  GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

  void SetFileName(const std::string& fileName) override { fileName_ = fileName; }
  std::string FileName() const override { return fileName_; }
  void Open() override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  void Close() override;
  int Mode() override;
  std::int64_t Length() override;
  std::int64_t Position() override;
  int Error() const override { return error_; }
  std::string TakeOutputNotice() override;

private:
  enum class Requested { Stopped, Playing, Paused };

  void RequireOpen() const;
  void ReadBus();
  // Runs a state change on the call thread; gives the media up and throws
  // MdkOutputError when it does not answer within kCallTimeout.
  bool Change(const std::function<bool(GstElement*)>& change);
  void GiveUp();
  void NoteSilentOutputs();

  std::string fileName_;
  int error_ = 0;
  GstElement* pipeline_ = nullptr;
  GstOutput sound_;
  GstOutput video_;
  // The window a video plays in, when the program has a GUI and no video
  // sink is described in the environment; it goes with the media.
  std::unique_ptr<GstVideoWindow> window_;
  Requested requested_ = Requested::Stopped;
  bool atEnd_ = false;
  // After a failure while streaming the pipeline is taken down to READY and
  // the next Play starts the media again from its beginning.
  bool halted_ = false;
  std::int64_t lengthMs_ = 0;
  // Outputs found silent are told of once per run, not at every file.
  bool toldNoSound_ = false;
  bool toldNoVideo_ = false;
  std::string outputNotice_;
  // Takes closed pipelines down: freeing a MIDI synthesiser waits about
  // 100 ms for its sound font to unload, which the next Open must not sit
  // through.
  GstCallThread releaser_;
  GstCallThread calls_;
};
