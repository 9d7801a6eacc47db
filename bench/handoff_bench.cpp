#include "Mdkmain.h"
#include "platform/random_source.h"
#include "rules/handoff_writer.h"
#include "support/fake_window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The window on recording fakes, its list long, and its program directory
// crowded with temporary files that are not hand-off files.
class IdleWindow {
public:
  IdleWindow() {
    for (int i = 0; i < 1000; ++i)
      QFile(programDir.filePath(QStringLiteral("other%1.tmp").arg(i))).open(QIODevice::WriteOnly);
    std::vector<QByteArray> entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i)
      entries.push_back("/music/album/track" + QByteArray::number(i) + ".wav");
    form.State().List().SetItems(std::move(entries));
    form.State().List().SetItemIndex(0);
    player.mode = mpStopped;
    // As an installed program's directory is: untouched for a long while.
    for (const QTemporaryDir* dir : {&programDir, &fallbackDir}) {
      const timespec times[2] = {{0, UTIME_OMIT}, {time(nullptr) - 3600, 0}};
      utimensat(AT_FDCWD, QFile::encodeName(dir->path()).constData(), times, 0);
    }
  }

  QTemporaryDir fallbackDir;
  FakeWindow window{{fallbackDir.path()}};
  QTemporaryDir& programDir = window.programDir;
  RecordingMediaPlayer& player = window.player;
  TForm1& form = window.form;
};

void BM_IdleStatusTick(benchmark::State& state) {
  IdleWindow window;
  for (auto _ : state)
    window.form.Timer1Timer();
}
BENCHMARK(BM_IdleStatusTick)->Unit(benchmark::kMicrosecond);

void BM_IdleHandOffScan(benchmark::State& state) {
  IdleWindow window;
  for (auto _ : state)
    window.form.ReadHandOffFiles();
}
BENCHMARK(BM_IdleHandOffScan)->Unit(benchmark::kMicrosecond);

void BM_WriteHandOffFile(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string directory = dir.path().toStdString();
  CLibraryRandom random;
  for (auto _ : state) {
    WriteHandOffFileIn(directory, "/music/album/track.wav", random);
    state.PauseTiming();
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
      QFile::remove(dir.filePath(name));
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WriteHandOffFile)->Unit(benchmark::kMicrosecond);

} // namespace
