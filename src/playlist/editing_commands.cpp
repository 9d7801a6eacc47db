#include "Mdkmain.h"

#include "rules/entry_rules.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

void TForm1::appendmusicfile1Click() {
  const std::optional<QStringList> chosen = dialogs_.OpenFiles(OpenDialog1);
  if (!chosen)
    return;
  std::vector<QByteArray> entries;
  entries.reserve(size_t(chosen->size()));
  for (const QString& path : *chosen)
    entries.push_back(' ' + QFile::encodeName(path));
  list_.AddAll(entries);
  if (state_.ContinuousPlay())
    PlayStep(1);
}

void TForm1::removemusicfile1Click() {
  const int index = list_.ItemIndex();
  if (index < 0)
    return;
  list_.Delete(index);
}

void TForm1::removeall1Click() {
  list_.Clear();
  // Set directly, not through the toggle, so the shuffle's played flags stay.
  state_.SetRandomPlay(false);
}

void TForm1::PopupMenu1Popup() {
  ui_.copyto1->setEnabled(list_.ItemIndex() >= 0);
}

void TForm1::copyto1Click() {
  const int index = list_.ItemIndex();
  if (index < 0)
    return;
  const QByteArray text = CopyText(list_.Item(index));
  if (!text.isEmpty())
    QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(text));
}
