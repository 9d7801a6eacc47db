#pragma once

#include "platform/tray_shell.h"

#include <QObject>

class QSystemTrayIcon;

// The tray icon on QSystemTrayIcon: a StatusNotifierItem when a host watches
// the session bus, an XEmbed icon otherwise.
class SystemTrayShell : public QObject, public TrayShell {
  Q_OBJECT
public:
  explicit SystemTrayShell(QObject* parent = nullptr);
  ~SystemTrayShell() override;

  void Add(const QIcon& icon, const QByteArray& tip) override;
  void Modify(const QIcon& icon, const QByteArray& tip) override;
  void Delete() override;
  bool Available() const override;
  void ShareMenu(QMenu* menu) override;

private:
  QSystemTrayIcon* icon_;
  bool statusNotifier_;
};
