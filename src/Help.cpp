#include "Help.h"

#include "platform/resources.h"
#include "platform/window_font.h"
#include "rules/line_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

namespace {

QString BuiltInManual() {
  // Compiled in: it is there and small whenever the program runs.
  QFile file(QStringLiteral(":/manual/manual.txt"));
  file.open(QIODevice::ReadOnly);
  QString text = QString::fromUtf8(file.readAll());
  if (text.endsWith(u'\n'))
    text.chop(1);
  return text;
}

QString ReadmeText(const QString& path) {
  QStringList lines;
  for (const QByteArray& line : SplitLines(ReadFileLines(path, TForm2::kReadmeLimit)))
    lines << QString::fromLocal8Bit(line);
  return lines.join(u'\n');
}

} // namespace

TForm2::TForm2(const QString& programDirectory, QWidget* parent) : QWidget(parent) {
  InitResources();
  setFont(WindowFont());
  ui_.setupUi(this);
  // Under a style sheet the parts do not take their window's face: each is
  // given it, before the manual's text is laid out.
  for (QWidget* part : findChildren<QWidget*>())
    part->setFont(WindowFont());
  // A window of its own, with a title and no title-bar buttons; as a normal
  // top-level window (not a transient dialog) it keeps its own taskbar entry.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  connect(ui_.BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);

  const QString readme = QDir(programDirectory).filePath(QStringLiteral("readme.txt"));
  ui_.Memo1->setPlainText(QFileInfo(readme).isFile() ? ReadmeText(readme) : BuiltInManual());
}

void TForm2::BitBtn1Click() {
  hide();
}

void TForm2::showEvent(QShowEvent* event) {
  if (!shownBefore_) {
    shownBefore_ = true;
    if (const QScreen* where = screen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(where->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  QWidget::showEvent(event);
}
