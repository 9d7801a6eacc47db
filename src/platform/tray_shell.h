#pragma once

#include <QByteArray>
#include <QIcon>
#include <QPoint>
#include <functional>

class QMenu;

// The notification-area icon: one icon with a tip, added, changed and
// removed. Tips are locale-encoded bytes, already cut to their final length.
class TrayShell {
public:
  virtual ~TrayShell() = default;

  virtual void Add(const QIcon& icon, const QByteArray& tip) = 0;
  virtual void Modify(const QIcon& icon, const QByteArray& tip) = 0;
  virtual void Delete() = 0;
  // False when the desktop offers no notification area: then nothing but the
  // main window can reach the program.
  virtual bool Available() const = 0;

  // The control menu for a tray that draws the menus of its icons itself (a
  // StatusNotifierItem host, which gets it over D-Bus). Other trays ask for
  // it through OnContextRequest instead.
  virtual void ShareMenu(QMenu* menu) = 0;

  // Mouse over the icon: a left double-click, and the context request with
  // the screen position where the menu belongs. A tray whose protocol knows
  // no double-click sends its activation (a left click) as the double-click:
  // it is the one gesture there that can bring a hidden window back.
  std::function<void()> OnDoubleClick;
  std::function<void(QPoint)> OnContextRequest;
};
