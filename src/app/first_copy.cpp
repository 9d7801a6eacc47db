#include "app/first_copy.h"

#include "Help.h"
#include "Mdkmain.h"
#include "app/handoff_watch.h"
#include "mpris/mpris_service.h"
#include "platform/error_box.h"
#include "platform/gst_media_player.h"
#include "platform/gst_runtime.h"
#include "platform/program_dir.h"
#include "platform/qt_file_dialogs.h"
#include "platform/random_source.h"
#include "platform/system_tray_shell.h"
#include "rules/runtime_paths.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <optional>

extern "C" __attribute__((visibility("default"))) int
MellowdeckFirstCopy(char* programName, const std::vector<std::string>& paths, InstanceLock& lock) {
  // Checked here as well: a change of one side alone must not link.
  static_assert(std::is_same_v<FirstCopyEntry, decltype(&MellowdeckFirstCopy)>);
  // The media layer gets ready while the toolkit connects to the display and
  // builds the window, with the plug-ins that every play needs and the WAV
  // parser. The other formats' decoders are left to their first file: loaded
  // here they cost 35 MB and, on two cores, delay the window by more than
  // the head start gains.
  PrepareGstInBackground({"coreelements", "playback", "typefindfunctions", "audioconvert",
                          "audioresample", "volume", "autodetect", "wavparse"});
  std::vector<QByteArray> arguments;
  for (const std::string& path : paths)
    arguments.push_back(QByteArray::fromStdString(path));
  // The toolkit gets the program name alone: every argument is a media path,
  // not an option of Qt's (-platform, -style, -reverse, -session ...).
  int qtArgc = 1;
  char* qtArgv[] = {programName, nullptr};
  QApplication app(qtArgc, qtArgv);
  // No display name: Qt would append it to every caption. The name and the
  // desktop entry give the windows their class and Wayland application id,
  // however the program file is called.
  QApplication::setApplicationName(QStringLiteral("Mellowdeck"));
  QGuiApplication::setDesktopFileName(QStringLiteral("mellowdeck"));
  try {
    const QString programDirectory = ProgramDirectory();
    QStringList handOffDirectories{programDirectory};
    // Made now so that it can be watched; one that is not safely ours is not read.
    if (const std::string fallback = FallbackHandOffDirectory(); EnsurePrivateDirectory(fallback))
      handOffDirectories << QFile::decodeName(fallback.c_str());

    GstMediaPlayer player;
    SystemTrayShell tray;
    QtFileDialogs dialogs;
    CLibraryRandom random;
    TForm1 form({player, tray, dialogs, random, programDirectory, handOffDirectories.mid(1)});
    dialogs.SetParent(&form);
    QObject::connect(&form, &TForm1::Closed, &app, &QApplication::quit);
    HandOffWatch watch(handOffDirectories, [&form] { form.ReadHandOffFiles(); });
    form.SetHandOffWatched([watching = QPointer<HandOffWatch>(&watch)](const QString& directory) {
      return watching && watching->Watches(directory);
    });
    form.FormCreate(arguments);
    TForm2 manual(programDirectory);
    form.SetManualWindow(&manual);
    form.show();
    // On the session bus for the desktop's media controls, once the window is
    // on its way: a desktop without a bus plays on without them.
    std::optional<MprisService> mpris;
    QTimer::singleShot(0, &form,
                       [&] { mpris.emplace(form, player, QDBusConnection::sessionBus()); });
    QApplication::exec();
    mpris.reset();
    // Released before the window's teardown: a launch made from here on starts
    // as the first copy instead of leaving files that nobody reads any more.
    lock.Release();
  } catch (const std::exception& error) {
    lock.Release();
    ShowErrorBox(QString::fromLocal8Bit(error.what()));
  }
  return 0;
}
