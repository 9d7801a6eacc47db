#include "support/midi_fixtures.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

// 96 ticks a quarter note at the default 120 beats a minute: half a second.
constexpr int kQuarter = 96;
constexpr int kDrumChannel = 9;

struct Event {
  int tick;
  std::string bytes;
};

class Track {
public:
  void Program(int channel, int program) {
    events_.push_back({0, {static_cast<char>(0xC0 | channel), static_cast<char>(program)}});
  }

  void Note(int channel, int key, int velocity, int start, int length) {
    events_.push_back(
        {start,
         {static_cast<char>(0x90 | channel), static_cast<char>(key), static_cast<char>(velocity)}});
    events_.push_back(
        {start + length, {static_cast<char>(0x80 | channel), static_cast<char>(key), '\0'}});
  }

  // A format 0 file of this one track.
  std::string File() const {
    std::vector<Event> events = events_;
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::string track;
    int now = 0;
    for (const Event& event : events) {
      track += Delta(event.tick - now) + event.bytes;
      now = event.tick;
    }
    track += std::string{'\0', '\xFF', '\x2F', '\0'};
    return "MThd" + BigEndian(6, 4) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(kQuarter, 2) +
           "MTrk" + BigEndian(static_cast<std::uint32_t>(track.size()), 4) + track;
  }

private:
  static std::string BigEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
      out += static_cast<char>((value >> shift) & 0xFF);
    return out;
  }

  // A variable-length quantity: seven bits a byte, all but the last flagged.
  static std::string Delta(int ticks) {
    std::string out(1, static_cast<char>(ticks & 0x7F));
    for (ticks >>= 7; ticks > 0; ticks >>= 7)
      out.insert(out.begin(), static_cast<char>(0x80 | (ticks & 0x7F)));
    return out;
  }

  std::vector<Event> events_;
};

std::string Write(const std::string& path, const Track& track) {
  const std::string bytes = track.File();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush())
    throw std::runtime_error("cannot write " + path);
  return path;
}

} // namespace

std::string WriteSparseMidi(const std::string& dir) {
  Track track;
  track.Program(0, 0);
  int start = 0;
  for (int key : {60, 64, 67, 72}) {
    track.Note(0, key, 100, start, kQuarter);
    start += kQuarter;
  }
  return Write(dir + "/sparse.mid", track);
}

std::string WriteBusyMidi(const std::string& dir) {
  Track track;
  // Piano, strings, brass, guitar, organ, bass, trumpet and a lead synth.
  const int programs[] = {0, 48, 61, 30, 19, 33, 56, 80};
  for (int channel = 0; channel < 8; ++channel) {
    track.Program(channel, programs[channel]);
    const int root = 48 + 3 * channel;
    for (int beat = 0; beat < 4; ++beat)
      for (int key : {root, root + 4, root + 7})
        track.Note(channel, key, 127, beat * kQuarter, kQuarter);
  }
  // Bass drum, snare, closed hi-hat and crash on every eighth.
  for (int eighth = 0; eighth < 8; ++eighth)
    for (int key : {36, 38, 42, 49})
      track.Note(kDrumChannel, key, 127, eighth * kQuarter / 2, kQuarter / 2);
  return Write(dir + "/busy.mid", track);
}
