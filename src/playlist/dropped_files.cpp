#include "Mdkmain.h"

#include "platform/error_box.h"
#include "rules/dropped_entries.h"
#include "rules/entry_rules.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <algorithm>

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  // Only files: the cursor refuses anything else before it is dropped.
  if (event->mimeData()->hasUrls() && OffersLocalFiles(event->mimeData()->urls()))
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls())
    return;
  std::vector<QByteArray> entries = DroppedEntries(event->mimeData()->urls());
  event->acceptProposedAction();
  Guarded([this, &entries] { TakeDroppedFiles(entries); });
}

void TForm1::TakeDroppedFiles(std::vector<QByteArray> entries) {
  std::erase_if(entries, [](const QByteArray& entry) { return !IsAcceptableEntry(entry); });
  if (entries.empty())
    return;
  const int first = list_.Count();
  list_.AddAll(entries);
  StopPlayback();
  list_.SetItemIndex(first);
  PlayStep(0);
}
