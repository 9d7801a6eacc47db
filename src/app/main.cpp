#include "Help.h"
#include "Mdkmain.h"
#include "app/handoff_watch.h"
#include "app/instance_lock.h"
#include "app/runtime_paths.h"
#include "app/second_launch.h"
#include "platform/error_box.h"
#include "platform/gst_media_player.h"
#include "platform/program_dir.h"
#include "platform/qt_file_dialogs.h"
#include "platform/system_tray_shell.h"

#include <QApplication>
#include <QFile>
#include <filesystem>
#include <iostream>

namespace {

// Starts neither the toolkit nor the media layer: it only leaves its files.
int SecondLaunch(int argc, char** argv) {
  std::error_code ignored;
  const std::string programDirectory =
      std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().native();
  const std::string currentDirectory = std::filesystem::current_path(ignored).native();
  return RunSecondLaunch({argv + 1, argv + argc}, {programDirectory, FallbackHandOffDirectory()},
                         currentDirectory, std::cerr);
}

int FirstCopy(int argc, char** argv, InstanceLock& lock) {
  const std::vector<QByteArray> arguments(argv + 1, argv + argc);
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Mellowdeck"));
  try {
    const QString programDirectory = ProgramDirectory();
    QStringList handOffDirectories{programDirectory};
    // Made now so that it can be watched; one that is not safely ours is not read.
    if (const std::string fallback = FallbackHandOffDirectory(); EnsurePrivateDirectory(fallback))
      handOffDirectories << QFile::decodeName(fallback.c_str());

    GstMediaPlayer player;
    SystemTrayShell tray;
    QtFileDialogs dialogs;
    TForm1 form({player, tray, dialogs, programDirectory, handOffDirectories.mid(1)});
    dialogs.SetParent(&form);
    QObject::connect(&form, &TForm1::Closed, &app, &QApplication::quit);
    HandOffWatch watch(handOffDirectories, [&form] { form.ReadHandOffFiles(); });
    form.FormCreate(arguments);
    TForm2 manual(programDirectory);
    form.SetManualWindow(&manual);
    form.show();
    QApplication::exec();
    // Released before the window's teardown: a launch made from here on starts
    // as the first copy instead of leaving files that nobody reads any more.
    lock.Release();
  } catch (const std::exception& error) {
    lock.Release();
    ShowErrorBox(QString::fromLocal8Bit(error.what()));
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  InstanceLock lock(InstanceLockPath());
  if (lock.GetState() == InstanceLock::State::HeldElsewhere)
    return SecondLaunch(argc, argv);
  return FirstCopy(argc, argv, lock);
}
