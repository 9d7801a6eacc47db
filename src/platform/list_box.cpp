#include "platform/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

QSize FixedHeightDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  if (height > 0)
    size.setHeight(height);
  return size;
}

ListBox::ListBox(QWidget* parent) : QListView(parent), delegate_(this) {
  setItemDelegate(&delegate_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void ListBox::Show(Playlist& list) {
  setModel(&list.Model());
  // The view made a selection model of its own for the model; the list's is the one that counts.
  QItemSelectionModel* own = selectionModel();
  setSelectionModel(&list.Selection());
  delete own;
  connect(&list, &Playlist::SelectionMade, this, [this](const QModelIndex& row) { scrollTo(row); });
}

int ListBox::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::SetItemHeight(int height) {
  delegate_.height = height;
  scheduleDelayedItemsLayout();
}

void ListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    QListView::mousePressEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
  QListView::mouseReleaseEvent(event);
  // The release that ends a double-click is not a second selection: it would
  // run the click handler after the double-click handler.
  const bool endsDoubleClick = std::exchange(releaseEndsDoubleClick_, false);
  if (event->button() == Qt::LeftButton && !endsDoubleClick &&
      indexAt(event->position().toPoint()).isValid())
    emit UserSelected();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  QListView::mouseDoubleClickEvent(event);
  if (indexAt(event->position().toPoint()).isValid()) {
    releaseEndsDoubleClick_ = true;
    emit UserDoubleClicked();
  }
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const int before = SelectedRow();
  QListView::keyPressEvent(event);
  if (SelectedRow() != before && SelectedRow() >= 0)
    emit UserSelected();
}
