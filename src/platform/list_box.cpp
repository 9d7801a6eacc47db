#include "platform/list_box.h"

#include "platform/mdk_error.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <utility>

int ListBoxModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(items_.size());
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(items_.size()))
    return {};
  // Decoding is lenient: an entry cut inside a multi-byte character still shows.
  return QString::fromLocal8Bit(items_[size_t(index.row())]);
}

void ListBoxModel::Replace(int index, const QByteArray& text) {
  QByteArray& item = items_[size_t(index)];
  uncountedCount_ += Uncounted(text) - Uncounted(item);
  item = text;
  if (!holding_) {
    emit dataChanged(this->index(index), this->index(index), {Qt::DisplayRole});
    return;
  }
  heldFirst_ = heldLast_ < heldFirst_ ? index : std::min(heldFirst_, index);
  heldLast_ = std::max(heldLast_, index);
}

void ListBoxModel::Insert(int index, const QByteArray& text) {
  AnnounceHeldChanges();
  beginInsertRows({}, index, index);
  items_.insert(items_.begin() + index, text);
  uncountedCount_ += Uncounted(text);
  endInsertRows();
}

void ListBoxModel::Append(const std::vector<QByteArray>& texts) {
  if (texts.empty())
    return;
  AnnounceHeldChanges();
  const int first = int(items_.size());
  beginInsertRows({}, first, first + int(texts.size()) - 1);
  items_.insert(items_.end(), texts.begin(), texts.end());
  for (const QByteArray& text : texts)
    uncountedCount_ += Uncounted(text);
  endInsertRows();
}

void ListBoxModel::Delete(int index) {
  AnnounceHeldChanges();
  beginRemoveRows({}, index, index);
  uncountedCount_ -= Uncounted(items_[size_t(index)]);
  items_.erase(items_.begin() + index);
  endRemoveRows();
}

void ListBoxModel::LeaveUncounted(ItemTest uncounted) {
  uncounted_ = uncounted;
  uncountedCount_ = 0;
  for (const QByteArray& item : items_)
    uncountedCount_ += Uncounted(item);
}

void ListBoxModel::Reset(std::vector<QByteArray> texts) {
  AnnounceHeldChanges();
  beginResetModel();
  items_ = std::move(texts);
  uncountedCount_ = 0;
  for (const QByteArray& item : items_)
    uncountedCount_ += Uncounted(item);
  endResetModel();
}

void ListBoxModel::ReleaseChanges() {
  AnnounceHeldChanges();
  holding_ = false;
}

void ListBoxModel::AnnounceHeldChanges() {
  if (heldLast_ < heldFirst_)
    return;
  const QModelIndex first = index(heldFirst_);
  const QModelIndex last = index(heldLast_);
  heldFirst_ = 0;
  heldLast_ = -1;
  emit dataChanged(first, last, {Qt::DisplayRole});
}

QSize FixedHeightDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  if (height > 0)
    size.setHeight(height);
  return size;
}

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(this), delegate_(this) {
  setModel(&model_);
  setItemDelegate(&delegate_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

const QByteArray& ListBox::Item(int index) const {
  if (index < 0 || index >= Count())
    throw MdkError("List index out of bounds (" + std::to_string(index) + ")");
  return model_.Items()[size_t(index)];
}

void ListBox::SetItem(int index, const QByteArray& text) {
  Item(index);
  model_.Replace(index, text);
}

void ListBox::Add(const QByteArray& text) {
  model_.Insert(Count(), text);
}

void ListBox::AddAll(const std::vector<QByteArray>& texts) {
  model_.Append(texts);
}

void ListBox::Insert(int index, const QByteArray& text) {
  if (index < 0 || index > Count())
    throw MdkError("List index out of bounds (" + std::to_string(index) + ")");
  model_.Insert(index, text);
}

void ListBox::Delete(int index) {
  Item(index);
  const bool selected = ItemIndex() == index;
  model_.Delete(index);
  // The view would move the selection to a neighbour; a deleted entry leaves
  // nothing selected.
  if (selected)
    SetItemIndex(-1);
}

void ListBox::Clear() {
  model_.Reset({});
}

void ListBox::SetItems(std::vector<QByteArray> texts) {
  model_.Reset(std::move(texts));
}

int ListBox::ItemIndex() const {
  if (selectionHeld_)
    return heldCleared_ || !heldCurrent_.isValid() ? -1 : heldCurrent_.row();
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::SetItemIndex(int index) {
  const bool inList = index >= 0 && index < Count();
  if (batchDepth_ > 0) {
    selectionHeld_ = true;
    heldCleared_ = !inList;
    if (inList)
      heldCurrent_ = model_.index(index);
    return;
  }
  if (!inList) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex row = model_.index(index);
  selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
  scrollTo(row);
}

void ListBox::SetItemHeight(int height) {
  delegate_.height = height;
  scheduleDelayedItemsLayout();
}

ListBox::UpdateBatch::UpdateBatch(ListBox& list) : list_(list) {
  if (list_.batchDepth_++ == 0)
    list_.model_.HoldChanges();
}

ListBox::UpdateBatch::~UpdateBatch() {
  if (--list_.batchDepth_ > 0)
    return;
  list_.model_.ReleaseChanges();
  list_.ApplyHeldSelection();
}

void ListBox::ApplyHeldSelection() {
  if (!std::exchange(selectionHeld_, false))
    return;
  const QModelIndex current = std::exchange(heldCurrent_, {});
  if (current.isValid())
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  if (heldCleared_ || !current.isValid())
    selectionModel()->clearSelection();
  if (current.isValid())
    scrollTo(current);
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
  const int before = ItemIndex();
  QListView::keyPressEvent(event);
  if (ItemIndex() != before && ItemIndex() >= 0)
    emit UserSelected();
}
