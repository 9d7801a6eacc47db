#include "mpris/mpris_root.h"

#include "Mdkmain.h"
#include "platform/product_name.h"

#include <QTimer>

MprisRoot::MprisRoot(QObject* exported, TForm1& form)
    : QDBusAbstractAdaptor(exported), form_(form) {}

QString MprisRoot::Identity() const {
  return QString::fromLatin1(kProductName);
}

QString MprisRoot::DesktopEntry() const {
  return QStringLiteral("mellowdeck");
}

QStringList MprisRoot::SupportedUriSchemes() const {
  return {QStringLiteral("file")};
}

// Those of the desktop entry.
QStringList MprisRoot::SupportedMimeTypes() const {
  return {QStringLiteral("audio/x-wav"),     QStringLiteral("audio/wav"),
          QStringLiteral("audio/mpeg"),      QStringLiteral("audio/midi"),
          QStringLiteral("audio/x-midi"),    QStringLiteral("audio/x-ms-wma"),
          QStringLiteral("video/x-msvideo"), QStringLiteral("video/x-ms-wmv"),
          QStringLiteral("video/x-ms-asf"),  QStringLiteral("audio/ogg"),
          QStringLiteral("audio/flac"),      QStringLiteral("video/mp4"),
          QStringLiteral("video/webm")};
}

// Run from the event loop, after the call has been answered: a command may
// show a box or end the program, and the caller should not wait on either.
void MprisRoot::Raise() {
  QTimer::singleShot(0, &form_, [this] { form_.Run(TForm1::Command::ShowWindow); });
}

void MprisRoot::Quit() {
  QTimer::singleShot(0, &form_, [this] { form_.Run(TForm1::Command::Exit); });
}
