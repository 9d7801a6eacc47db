#include "platform/gst_media_player.h"
#include "rules/playlist_file.h"
#include "support/fake_window.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The window on the real media player, on screen, with a dialog that answers
// the playlist file a user would pick.
struct RealPlayerWindow {
  RealPlayerWindow()
      : form({.player = player,
              .tray = tray,
              .dialogs = dialogs,
              .random = random,
              .programDirectory = programDir.path(),
              .pollsByItself = false}) {
    form.show();
    QApplication::processEvents();
  }

  QTemporaryDir programDir;
  CallLog log;
  GstMediaPlayer player;
  RecordingTrayShell tray{log};
  ScriptedDialogs dialogs;
  CLibraryRandom random;
  TForm1 form;
};

// A saved list whose media folder has gone: every entry names a missing file.
QString WriteMissingFilesList(const QTemporaryDir& dir, int count) {
  std::vector<QByteArray> entries{"<autoplay>"};
  entries.reserve(size_t(count) + 1);
  for (int i = 0; i < count; ++i)
    entries.push_back(dir.path().toLocal8Bit() + "/moved/album/track-" + QByteArray::number(i) +
                      ".mp3");
  const QString path = dir.filePath("moved.m3u");
  WritePlaylistFile(path, entries);
  return path;
}

// Loading a list that starts continuous play, until its last entry is marked
// and the view has caught up.
void BM_ContinuousPlayThroughMissingFiles(benchmark::State& state) {
  const int count = int(state.range(0));
  QTemporaryDir dataDir;
  const QString listPath = WriteMissingFilesList(dataDir, count);
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<RealPlayerWindow>();
    window->dialogs.openAnswers.push_back({listPath});
    state.ResumeTiming();
    window->form.loadlist1Click();
    QApplication::processEvents();
    state.PauseTiming();
    if (!window->form.State().List().Items().back().startsWith('<'))
      state.SkipWithError("the last entry was not marked");
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ContinuousPlayThroughMissingFiles)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Random steps through a long list; the view catches up once at the end, so
// that the figure is the steps' own cost and not that of painting each one.
void BM_RandomSteps(benchmark::State& state) {
  const int count = int(state.range(0));
  std::vector<QByteArray> entries;
  entries.reserve(size_t(count));
  for (int i = 0; i < count; ++i)
    entries.push_back(" /home/user/Music/album/track-" + QByteArray::number(i) + ".mp3");
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<FakeWindow>();
    window->Show();
    window->form.State().SetRandomPlay(true);
    window->form.State().List().SetItems(entries);
    QApplication::processEvents();
    state.ResumeTiming();
    for (int step = 0; step < count; ++step)
      window->form.PlayStep(1);
    QApplication::processEvents();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RandomSteps)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
