#include <QApplication>
#include <benchmark/benchmark.h>

// Benchmarks run headless with silent sinks that keep real time, unless the
// caller chose otherwise.
int main(int argc, char** argv) {
  for (const char* name : {"QT_QPA_PLATFORM", "MELLOWDECK_AUDIO_SINK", "MELLOWDECK_VIDEO_SINK"})
    if (qgetenv(name).isEmpty())
      qputenv(name,
              std::string_view(name) == "QT_QPA_PLATFORM" ? "offscreen" : "fakesink sync=true");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
