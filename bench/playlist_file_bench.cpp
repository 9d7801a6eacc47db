#include "rules/playlist_file.h"
#include "support/fake_window.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 100000;

std::vector<QByteArray> LongList() {
  std::vector<QByteArray> entries;
  entries.reserve(kLines);
  for (int i = 0; i < kLines; ++i)
    entries.push_back(" /home/listener/music/album " + QByteArray::number(i / 12) + "/track " +
                      QByteArray::number(i) + ".mp3");
  return entries;
}

void BM_ParsePlaylist(benchmark::State& state) {
  const QByteArray text = FormatPlaylist(LongList());
  for (auto _ : state)
    benchmark::DoNotOptimize(ParsePlaylist(text));
}
BENCHMARK(BM_ParsePlaylist)->Unit(benchmark::kMillisecond);

void BM_FormatPlaylist(benchmark::State& state) {
  const std::vector<QByteArray> entries = LongList();
  for (auto _ : state)
    benchmark::DoNotOptimize(FormatPlaylist(entries));
}
BENCHMARK(BM_FormatPlaylist)->Unit(benchmark::kMillisecond);

void BM_ReadPlaylistFile(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("long.flist");
  WritePlaylistFile(path, LongList());
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadPlaylistFile(path));
}
BENCHMARK(BM_ReadPlaylistFile)->Unit(benchmark::kMillisecond);

void BM_WritePlaylistFile(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("long.flist");
  const std::vector<QByteArray> entries = LongList();
  for (auto _ : state)
    WritePlaylistFile(path, entries);
}
BENCHMARK(BM_WritePlaylistFile)->Unit(benchmark::kMillisecond);

void BM_LoadListCommand(benchmark::State& state) {
  FakeWindow shown;
  shown.Show();
  const QString path = shown.programDir.filePath("long.flist");
  WritePlaylistFile(path, LongList());
  for (auto _ : state) {
    shown.dialogs.openAnswers.push_back({path});
    shown.form.loadlist1Click();
    QCoreApplication::processEvents();
  }
  state.counters["entries"] = shown.form.State().List().Count();
}
BENCHMARK(BM_LoadListCommand)->Unit(benchmark::kMillisecond);

void BM_SaveListCommand(benchmark::State& state) {
  FakeWindow shown;
  shown.Show();
  const QString path = shown.programDir.filePath("long.flist");
  shown.form.State().List().SetItems(LongList());
  for (auto _ : state) {
    shown.dialogs.saveAnswers.push_back(path);
    shown.form.savelist1Click();
  }
}
BENCHMARK(BM_SaveListCommand)->Unit(benchmark::kMillisecond);

} // namespace
