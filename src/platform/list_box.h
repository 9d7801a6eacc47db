#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QListView>
#include <QStyledItemDelegate>
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

// Draws the items at one fixed line height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  int height = 0; // 0: the style's own height
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// A single-selection list of byte-string items. The selection follows its
// entry when entries are inserted or deleted above it and stays on its index
// when an entry is replaced. UserSelected fires only for selections the user
// makes with the left mouse button or the keys, never for SetItemIndex; the
// other buttons leave the selection alone.
class ListBox : public QListView {
  Q_OBJECT
public:
  explicit ListBox(QWidget* parent = nullptr);

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

  void SetItemHeight(int height);

  // While one lives, replaced entries reach the view as one change, and the
  // selection reaches it once, scrolled to, when the outermost batch ends;
  // ItemIndex reads the held selection meanwhile. Every single change would
  // make the view lay out all of its rows again at the next selection, which a
  // run through thousands of entries cannot afford.
  class UpdateBatch {
  public:
    explicit UpdateBatch(ListBox& list);
    ~UpdateBatch();
    UpdateBatch(const UpdateBatch&) = delete;
    UpdateBatch& operator=(const UpdateBatch&) = delete;

  private:
    ListBox& list_;
  };

signals:
  void UserSelected();
  void UserDoubleClicked();

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  ListBoxModel model_;
  FixedHeightDelegate delegate_;
  bool releaseEndsDoubleClick_ = false;
  void ApplyHeldSelection();

  int batchDepth_ = 0;
  // The selection made during a batch: the last entry selected, which stays
  // current and is scrolled to as it would have been, and whether a clearing
  // came after it. Persistent, so that it follows its entry across row changes.
  bool selectionHeld_ = false;
  QPersistentModelIndex heldCurrent_;
  bool heldCleared_ = false;
};
