#include "platform/gst_midi_limiter.h"

#include <algorithm>
#include <cmath>

namespace {

std::size_t Frames(double ms, int rate) {
  return static_cast<std::size_t>(std::lround(ms * rate / 1000));
}

} // namespace

MidiLimiter::MidiLimiter(const Settings& settings, int rate, int channels)
    : ceiling_(settings.ceiling), channels_(static_cast<std::size_t>(channels)),
      lookahead_(std::max<std::size_t>(1, Frames(settings.lookaheadMs, rate))),
      hold_(Frames(settings.holdMs, rate)),
      releaseStep_(static_cast<float>(std::pow(10.0, settings.releaseDbPerSecond / 20 / rate))),
      ramp_(lookahead_), delay_(lookahead_ * channels_) {
  Reset();
}

void MidiLimiter::Reset() {
  frameIndex_ = 0;
  lowest_.clear();
  std::fill(ramp_.begin(), ramp_.end(), 1.0f);
  rampSum_ = static_cast<double>(lookahead_);
  std::fill(delay_.begin(), delay_.end(), 0.0f);
  slot_ = 0;
  gain_ = 1;
  held_ = 0;
}

void MidiLimiter::Process(std::span<float> samples) {
  for (std::size_t first = 0; first + channels_ <= samples.size(); first += channels_)
    Step(samples.data() + first);
}

// The frame that leaves the delay line is lookahead_ frames old. Every window
// low in the ramp covers it, so their mean stays within what it allows, and
// the current window low, which the gain is finally held to, makes sure of it
// whatever the rounding of the running sum.
void MidiLimiter::Step(float* frame) {
  float peak = 0;
  for (std::size_t channel = 0; channel < channels_; ++channel)
    peak = std::max(peak, std::abs(frame[channel]));
  const float allowed = peak > ceiling_ ? ceiling_ / peak : 1.0f;

  while (!lowest_.empty() && lowest_.back().second >= allowed)
    lowest_.pop_back();
  lowest_.emplace_back(frameIndex_, allowed);
  if (lowest_.front().first + lookahead_ < frameIndex_)
    lowest_.pop_front();
  const float windowLow = lowest_.front().second;

  rampSum_ += static_cast<double>(windowLow) - static_cast<double>(ramp_[slot_]);
  ramp_[slot_] = windowLow;
  const float target = static_cast<float>(rampSum_ / static_cast<double>(lookahead_));

  if (target < gain_) {
    gain_ = target;
    held_ = hold_;
  } else if (held_ > 0) {
    --held_;
  } else {
    gain_ = std::min(target, gain_ * releaseStep_);
  }
  const float applied = std::min(gain_, windowLow);

  float* delayed = delay_.data() + slot_ * channels_;
  for (std::size_t channel = 0; channel < channels_; ++channel) {
    std::swap(delayed[channel], frame[channel]);
    frame[channel] *= applied;
  }

  slot_ = (slot_ + 1) % lookahead_;
  ++frameIndex_;
}
