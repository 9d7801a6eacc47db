#include "platform/system_tray_shell.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QSystemTrayIcon>

namespace {

// Qt makes a StatusNotifierItem of the icon under the same condition, once,
// when the first icon is made.
bool StatusNotifierHostWatching() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher))
    return false;
  QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
  return properties.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

SystemTrayShell::SystemTrayShell(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)),
      statusNotifier_(StatusNotifierHostWatching()) {
  connect(icon_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            const bool restore = reason == QSystemTrayIcon::DoubleClick ||
                                 (statusNotifier_ && reason == QSystemTrayIcon::Trigger);
            if (restore && OnDoubleClick)
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

void SystemTrayShell::ShareMenu(QMenu* menu) {
  // An XEmbed icon given a menu would pop it by itself on every right click,
  // beside the one the program pops on the context request.
  if (statusNotifier_)
    icon_->setContextMenu(menu);
}
