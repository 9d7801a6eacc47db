#include "platform/program_dir.h"

#include <QFileInfo>

QString ProgramDirectory() {
  return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}
