#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QItemSelectionModel>
#include <QModelIndex>
#include <QObject>
#include <QPersistentModelIndex>
#include <vector>

// The playlist's items: byte strings kept exactly as given, shown decoded
// from the locale's encoding. It keeps a count of the items that the window
// does not set aside as it goes, since the window shows that count at every
// step.
class ListBoxModel : public QAbstractListModel {
  Q_OBJECT
public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const std::vector<QByteArray>& Items() const { return items_; }
  using ItemTest = bool (*)(const QByteArray& item);
  // The items that the count leaves out; none until set.
  void LeaveUncounted(ItemTest uncounted);
  int CountedItems() const { return int(items_.size()) - uncountedCount_; }
  void Replace(int index, const QByteArray& text);
  void Insert(int index, const QByteArray& text);
  void Append(const std::vector<QByteArray>& texts);
  void Delete(int index);
  void Reset(std::vector<QByteArray> texts);

  // While held, replaced entries are announced together, as one range, on
  // release; a change of rows announces the held ones first so the range
  // still names the rows that changed.
  void HoldChanges() { holding_ = true; }
  void ReleaseChanges();

private:
  void AnnounceHeldChanges();

  std::vector<QByteArray> items_;
  int Uncounted(const QByteArray& item) const { return uncounted_ && uncounted_(item) ? 1 : 0; }

  ItemTest uncounted_ = nullptr;
  int uncountedCount_ = 0;
  bool holding_ = false;
  int heldFirst_ = 0;
  int heldLast_ = -1;
};

// The entries of the list and the one selected among them, without a widget:
// a view shows them through Model() and Selection(). The selection follows
// its entry when entries are inserted or deleted above it and stays on its
// index when an entry is replaced; a deleted entry leaves nothing selected.
class Playlist : public QObject {
  Q_OBJECT
public:
  explicit Playlist(QObject* parent = nullptr);

  int Count() const { return int(model_.Items().size()); }
  // Throws MdkError for an index outside the list.
  const QByteArray& Item(int index) const;
  const std::vector<QByteArray>& Items() const { return model_.Items(); }
  void LeaveUncounted(ListBoxModel::ItemTest uncounted) { model_.LeaveUncounted(uncounted); }
  int CountedItems() const { return model_.CountedItems(); }
  void SetItem(int index, const QByteArray& text);
  void Add(const QByteArray& text);
  void AddAll(const std::vector<QByteArray>& texts);
  void Insert(int index, const QByteArray& text);
  void Delete(int index);
  void Clear();
  void SetItems(std::vector<QByteArray> texts);

  int ItemIndex() const;
  // An index outside the list clears the selection.
  void SetItemIndex(int index);

  QAbstractItemModel& Model() { return model_; }
  const QAbstractItemModel& Model() const { return model_; }
  QItemSelectionModel& Selection() { return selection_; }
  const QItemSelectionModel& Selection() const { return selection_; }

  // While one lives, replaced entries reach the views as one change, and the
  // selection reaches them once, when the outermost batch ends; ItemIndex
  // reads the held selection meanwhile. Every single change would make a view
  // lay out all of its rows again at the next selection, which a run through
  // thousands of entries cannot afford.
  class UpdateBatch {
  public:
    explicit UpdateBatch(Playlist& list);
    ~UpdateBatch();
    UpdateBatch(const UpdateBatch&) = delete;
    UpdateBatch& operator=(const UpdateBatch&) = delete;

  private:
    Playlist& list_;
  };

signals:
  // The entries or the selection changed; once per change, or once for a
  // whole batch.
  void Changed();
  // A selection was made that a view should bring into sight.
  void SelectionMade(const QModelIndex& row);

private:
  void Announce();
  void ApplyHeldSelection();

  ListBoxModel model_;
  QItemSelectionModel selection_;
  int batchDepth_ = 0;
  bool changedInBatch_ = false;
  // The selection made during a batch: the last entry selected, which stays
  // current and is brought into sight as it would have been, and whether a
  // clearing came after it. Persistent, so that it follows its entry across
  // row changes.
  bool selectionHeld_ = false;
  QPersistentModelIndex heldCurrent_;
  bool heldCleared_ = false;
};
