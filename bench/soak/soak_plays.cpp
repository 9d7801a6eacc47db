// Plays short media of every format one after another on the real media
// layer, as continuous play and the next button do over a long evening, and
// prints the resident size now and then: it must stay flat.
//
//   mdk_soak [plays] [ms of each play]
#include "Mdkmain.h"
#include "platform/gst_media_player.h"
#include "support/fakes.h"
#include "support/media_fixtures.h"
#include "support/wait.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').first().toLong();
  return -1;
}

} // namespace

int main(int argc, char** argv) {
  for (const char* name : {"QT_QPA_PLATFORM", "MELLOWDECK_AUDIO_SINK", "MELLOWDECK_VIDEO_SINK"})
    if (qgetenv(name).isEmpty())
      qputenv(name,
              std::string_view(name) == "QT_QPA_PLATFORM" ? "offscreen" : "fakesink sync=true");
  const int plays = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int playMs = argc > 2 ? std::atoi(argv[2]) : 150;
  QApplication app(argc, argv);

  QTemporaryDir dir;
  std::vector<QByteArray> entries;
  for (MediaFormat format : AllMediaFormats())
    entries.push_back(
        ' ' + QByteArray::fromStdString(WriteMediaFixture(format, dir.path().toStdString()).path));

  CallLog log;
  GstMediaPlayer player;
  RecordingTrayShell tray{log};
  ScriptedDialogs dialogs;
  CLibraryRandom random;
  TForm1 form({.player = player,
               .tray = tray,
               .dialogs = dialogs,
               .random = random,
               .programDirectory = dir.path(),
               .pollsByItself = false});
  form.show();
  form.State().List().SetItems(entries);
  form.State().List().SetItemIndex(0);
  form.automaticplay1Click();

  std::printf("plays  resident KiB\n");
  long afterTen = 0;
  for (int play = 1; play <= plays; ++play) {
    // Most plays are cut short by the next button; every tenth runs to its
    // end and continuous play moves on, as the poll does.
    if (play % 10 == 0) {
      WaitFor([&] { return player.Mode() != mpPlaying; }, 10000);
      form.Timer1Timer();
    } else {
      // A step onto the continuous-play marker plays nothing.
      WaitFor([&] { return player.Mode() != mpPlaying || player.Position() >= playMs; }, 5000);
      form.nextfile1Click();
    }
    if (play == 10 || play % 100 == 0) {
      const long resident = ResidentKiB();
      if (play == 10)
        afterTen = resident;
      std::printf("%5d  %ld\n", play, resident);
      std::fflush(stdout);
    }
  }
  std::printf("soak: %d plays, resident %ld KiB after 10 and %ld KiB at the end (%+ld KiB)\n",
              plays, afterTen, ResidentKiB(), ResidentKiB() - afterTen);
  return 0;
}
