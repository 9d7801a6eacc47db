#pragma once

#include "platform/playlist.h"

#include <QListView>
#include <QStyledItemDelegate>

// Draws the items at one fixed line height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  int height = 0; // 0: the style's own height
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// A single-selection view of a playlist. UserSelected fires only for
// selections the user makes with the left mouse button or the keys, never for
// a selection the program makes; the other buttons leave the selection alone.
class ListBox : public QListView {
  Q_OBJECT
public:
  explicit ListBox(QWidget* parent = nullptr);

  // Shows the list's entries and its selection, and brings every selection
  // the program makes into sight.
  void Show(Playlist& list);
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
  int SelectedRow() const;

  FixedHeightDelegate delegate_;
  bool releaseEndsDoubleClick_ = false;
};
