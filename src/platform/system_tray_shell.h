#pragma once

#include "platform/tray_shell.h"

#include <QObject>

class QSystemTrayIcon;

// The tray icon on QSystemTrayIcon (StatusNotifierItem or XEmbed).
class SystemTrayShell : public QObject, public TrayShell {
  Q_OBJECT
public:
  explicit SystemTrayShell(QObject* parent = nullptr);
  ~SystemTrayShell() override;

  void Add(const QIcon& icon, const QByteArray& tip) override;
  void Modify(const QIcon& icon, const QByteArray& tip) override;
  void Delete() override;
  bool Available() const override;

private:
  QSystemTrayIcon* icon_;
};
