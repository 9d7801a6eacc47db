#pragma once

#include "platform/media_player.h"

// MediaPlayer on GStreamer's playbin.
class GstMediaPlayer : public MediaPlayer {
public:
  GstMediaPlayer();
  ~GstMediaPlayer() override;

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

private:
  std::string fileName_;
  int error_ = 0;
};
