#include "Help.h"
#include "Mdkmain.h"
#include "app/command_line.h"
#include "app/file_size_signal.h"
#include "app/handoff_watch.h"
#include "app/instance_lock.h"
#include "app/second_launch.h"
#include "platform/error_box.h"
#include "platform/gst_media_player.h"
#include "platform/program_dir.h"
#include "platform/qt_file_dialogs.h"
#include "platform/random_source.h"
#include "platform/system_tray_shell.h"
#include "rules/runtime_paths.h"

#include <QApplication>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <iostream>

namespace {

// Starts neither the toolkit nor the media layer: it only leaves its files.
int SecondLaunch(const std::vector<std::string>& paths) {
  std::error_code ignored;
  const std::string programDirectory =
      std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().native();
  const std::string currentDirectory = std::filesystem::current_path(ignored).native();
  return RunSecondLaunch(paths, {programDirectory, FallbackHandOffDirectory()}, currentDirectory,
                         std::cerr);
}

int FirstCopy(char* programName, const std::vector<std::string>& paths, InstanceLock& lock) {
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
  IgnoreFileSizeSignal();
  // A program started with no argv at all still runs, under its own name.
  static char ownName[] = "mellowdeck";
  char* programName = argc > 0 ? argv[0] : ownName;
  const CommandLine line = ParseCommandLine({argv + std::min(argc, 1), argv + argc});
  if (line.action != CommandLine::Action::Play) {
    std::cout << (line.action == CommandLine::Action::Help ? UsageText() : VersionText());
    std::cout.flush();
    return std::cout ? 0 : 1;
  }
  InstanceLock lock(InstanceLockPath());
  if (lock.GetState() == InstanceLock::State::HeldElsewhere)
    return SecondLaunch(line.paths);
  return FirstCopy(programName, line.paths, lock);
}
