#pragma once

#include <cstddef>
#include <deque>
#include <span>
#include <utility>
#include <vector>

// Keeps rendered MIDI below full scale. A lone instrument and a full band come
// from the synthesiser some 30 dB apart, so a gain that makes the first as
// loud as other media sends the second far past full scale; the limiter lowers
// the gain just ahead of every peak that would pass the ceiling, holds it a
// while so that a steady beat does not make it pump, and then lets it back up.
class MidiLimiter {
public:
  struct Settings {
    float ceiling; // the highest sample magnitude let through
    double lookaheadMs;
    double holdMs;
    double releaseDbPerSecond;
  };

  MidiLimiter(const Settings& settings, int rate, int channels);

  // Limits interleaved frames in place; the sound comes out lookaheadMs late.
  void Process(std::span<float> samples);
  // Forgets the sound so far, as after a seek.
  void Reset();

private:
  void Step(float* frame);

  float ceiling_;
  std::size_t channels_;
  std::size_t lookahead_;
  std::size_t hold_;
  float releaseStep_;

  std::size_t frameIndex_ = 0;
  // The gains that the frames of the look-ahead window allow, as (frame, gain),
  // kept rising from front to back so that the front is the window's lowest.
  std::deque<std::pair<std::size_t, float>> lowest_;
  // The window lows of the last lookahead_ frames, whose mean ramps the gain
  // down smoothly.
  std::vector<float> ramp_;
  double rampSum_ = 0;
  // The frames waiting for the gain that their look-ahead settles.
  std::vector<float> delay_;
  std::size_t slot_ = 0;
  float gain_ = 1;
  std::size_t held_ = 0;
};
