#include "support/fake_window.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

std::vector<QByteArray> Entries(int count) {
  std::vector<QByteArray> entries;
  entries.reserve(size_t(count));
  for (int i = 0; i < count; ++i)
    entries.push_back(" /home/user/Music/album/track-" + QByteArray::number(i) + ".mp3");
  return entries;
}

// Appending a large list, showing it and jumping to its end.
void BM_AddAndShow100k(benchmark::State& state) {
  const auto entries = Entries(100000);
  for (auto _ : state) {
    state.PauseTiming();
    FakeWindow window;
    window.Show();
    state.ResumeTiming();
    window.form.State().List().AddAll(entries);
    window.form.State().List().SetItemIndex(99999);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_AddAndShow100k)->Unit(benchmark::kMillisecond);

// One ordered step through a 100,000-entry list that is on screen.
void BM_StepIn100k(benchmark::State& state) {
  FakeWindow window;
  window.Show();
  window.form.State().List().AddAll(Entries(100000));
  window.form.State().List().SetItemIndex(0);
  for (auto _ : state) {
    window.form.PlayStep(1);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_StepIn100k)->Unit(benchmark::kMicrosecond);

} // namespace
