#include "platform/system_tray_shell.h"

#include <QCursor>
#include <QSystemTrayIcon>

SystemTrayShell::SystemTrayShell(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)) {
  connect(icon_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick && OnDoubleClick)
              OnDoubleClick();
            else if (reason == QSystemTrayIcon::Context && OnContextRequest)
              OnContextRequest(QCursor::pos());
          });
}

SystemTrayShell::~SystemTrayShell() = default;

void SystemTrayShell::Add(const QIcon& icon, const QByteArray& tip) {
  // Without a notification area the program runs on without an icon.
  if (!Available())
    return;
  Modify(icon, tip);
  icon_->show();
}

void SystemTrayShell::Modify(const QIcon& icon, const QByteArray& tip) {
  icon_->setIcon(icon);
  icon_->setToolTip(QString::fromLocal8Bit(tip));
}

void SystemTrayShell::Delete() {
  icon_->hide();
}

bool SystemTrayShell::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}
