#include "Help.h"
#include "Mdkmain.h"
#include "platform/error_box.h"
#include "platform/gst_media_player.h"
#include "platform/program_dir.h"
#include "platform/qt_file_dialogs.h"
#include "platform/system_tray_shell.h"

#include <QApplication>

int main(int argc, char** argv) {
  std::vector<QByteArray> arguments(argv + 1, argv + argc);
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Mellowdeck"));
  GstMediaPlayer player;
  SystemTrayShell tray;
  QtFileDialogs dialogs;
  TForm1 form({player, tray, dialogs, ProgramDirectory(), {}});
  dialogs.SetParent(&form);
  QObject::connect(&form, &TForm1::Closed, &app, &QApplication::quit);
  form.FormCreate(arguments);
  TForm2 manual(ProgramDirectory());
  form.SetManualWindow(&manual);
  form.show();
  return app.exec();
}
