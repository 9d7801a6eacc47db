#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

// The playlist's items: byte strings kept exactly as given, shown decoded
// from the locale's encoding.
class ListBoxModel : public QAbstractListModel {
  Q_OBJECT
public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const std::vector<QByteArray>& Items() const { return items_; }
  void Replace(int index, const QByteArray& text);
  void Insert(int index, const QByteArray& text);
  void Append(const std::vector<QByteArray>& texts);
  void Delete(int index);
  void Reset(std::vector<QByteArray> texts);

private:
  std::vector<QByteArray> items_;
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
};
