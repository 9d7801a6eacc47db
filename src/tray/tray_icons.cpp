#include "tray/tray_icons.h"

#include <QFile>

QIcon LoadIconResource(const QString& name) {
  const QString path = QStringLiteral(":/icons/%1.svg").arg(name.toLower());
  return QFile::exists(path) ? QIcon(path) : QIcon();
}
