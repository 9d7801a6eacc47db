#include "platform/playlist.h"

#include "platform/mdk_error.h"

#include <algorithm>
#include <string>
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

Playlist::Playlist(QObject* parent) : QObject(parent), model_(this), selection_(&model_) {
  // A selection is a change whoever makes it: the program or the user in a view.
  connect(&selection_, &QItemSelectionModel::selectionChanged, this, &Playlist::Announce);
}

const QByteArray& Playlist::Item(int index) const {
  if (index < 0 || index >= Count())
    throw MdkError("List index out of bounds (" + std::to_string(index) + ")");
  return model_.Items()[size_t(index)];
}

void Playlist::SetItem(int index, const QByteArray& text) {
  Item(index);
  model_.Replace(index, text);
  Announce();
}

void Playlist::Add(const QByteArray& text) {
  model_.Insert(Count(), text);
  Announce();
}

void Playlist::AddAll(const std::vector<QByteArray>& texts) {
  model_.Append(texts);
  Announce();
}

void Playlist::Insert(int index, const QByteArray& text) {
  if (index < 0 || index > Count())
    throw MdkError("List index out of bounds (" + std::to_string(index) + ")");
  model_.Insert(index, text);
  Announce();
}

void Playlist::Delete(int index) {
  Item(index);
  // The row's removal and the selection's clearing are one change.
  const UpdateBatch once(*this);
  const bool selected = ItemIndex() == index;
  model_.Delete(index);
  // The selection model would move the selection to a neighbour; a deleted
  // entry leaves nothing selected.
  if (selected)
    SetItemIndex(-1);
  Announce();
}

void Playlist::Clear() {
  model_.Reset({});
  Announce();
}

void Playlist::SetItems(std::vector<QByteArray> texts) {
  model_.Reset(std::move(texts));
  Announce();
}

int Playlist::ItemIndex() const {
  if (selectionHeld_)
    return heldCleared_ || !heldCurrent_.isValid() ? -1 : heldCurrent_.row();
  const QModelIndexList rows = selection_.selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void Playlist::SetItemIndex(int index) {
  const bool inList = index >= 0 && index < Count();
  if (batchDepth_ > 0) {
    selectionHeld_ = true;
    heldCleared_ = !inList;
    if (inList)
      heldCurrent_ = model_.index(index);
    changedInBatch_ = true;
    return;
  }
  if (!inList) {
    selection_.clearSelection();
    return;
  }
  const QModelIndex row = model_.index(index);
  selection_.setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
  emit SelectionMade(row);
}

void Playlist::Announce() {
  if (batchDepth_ > 0)
    changedInBatch_ = true;
  else
    emit Changed();
}

Playlist::UpdateBatch::UpdateBatch(Playlist& list) : list_(list) {
  if (list_.batchDepth_++ == 0)
    list_.model_.HoldChanges();
}

Playlist::UpdateBatch::~UpdateBatch() {
  if (list_.batchDepth_ > 1) {
    --list_.batchDepth_;
    return;
  }
  // Still held while the view catches up, so that all of it is one change.
  list_.model_.ReleaseChanges();
  list_.ApplyHeldSelection();
  list_.batchDepth_ = 0;
  if (std::exchange(list_.changedInBatch_, false))
    emit list_.Changed();
}

void Playlist::ApplyHeldSelection() {
  if (!std::exchange(selectionHeld_, false))
    return;
  const QModelIndex current = std::exchange(heldCurrent_, {});
  if (current.isValid())
    selection_.setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  if (heldCleared_ || !current.isValid())
    selection_.clearSelection();
  if (current.isValid())
    emit SelectionMade(current);
}
