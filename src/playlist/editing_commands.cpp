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
  ListBox1->AddAll(entries);
  if (autorepeat1->isChecked())
    PlayStep(1);
}

void TForm1::removemusicfile1Click() {
  const int index = ListBox1->ItemIndex();
  if (index < 0)
    return;
  ListBox1->Delete(index);
}

void TForm1::removeall1Click() {
  ListBox1->Clear();
  // Set directly, not through the toggle, so the shuffle's played flags stay.
  SetRandomPlay(false);
}

void TForm1::PopupMenu1Popup() {
  copyto1->setEnabled(ListBox1->ItemIndex() >= 0);
}

void TForm1::copyto1Click() {
  const int index = ListBox1->ItemIndex();
  if (index < 0)
    return;
  const QByteArray text = CopyText(ListBox1->Item(index));
  if (!text.isEmpty())
    QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(text));
}
