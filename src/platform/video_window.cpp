#include "platform/video_window.h"

#include "platform/resources.h"

#include <QCloseEvent>
#include <QIcon>
#include <QPainter>

VideoWindow::VideoWindow(const QString& title) {
  InitResources();
  setTitle(title);
  setIcon(QIcon(QStringLiteral(":/icons/mainicon.svg")));
}

void VideoWindow::ShowFrame(const QImage& frame, QSize displaySize) {
  frame_ = frame;
  displaySize_ = displaySize;
  if (!sized_) {
    sized_ = true;
    resize(displaySize);
  }
  if (!isVisible() && !dismissed_) {
    // Under Wayland the platform window learns of the icon, which its title
    // bar draws, only when it is set while that window exists; closing the
    // window destroys it.
    if (handle() == nullptr) {
      create();
      setIcon(icon());
    }
    show();
  }
  update();
}

void VideoWindow::Retire() {
  hide();
  frame_ = QImage();
  dismissed_ = false;
}

void VideoWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area(QPoint(), size());
  if (frame_.isNull()) {
    painter.fillRect(area, Qt::black);
    return;
  }
  // A window the user has resized keeps the picture's proportions.
  QRect target(QPoint(), displaySize_.scaled(area.size(), Qt::KeepAspectRatio));
  target.moveCenter(area.center());
  if (target != area)
    painter.fillRect(area, Qt::black);
  painter.drawImage(target, frame_);
}

void VideoWindow::closeEvent(QCloseEvent* event) {
  dismissed_ = true;
  QRasterWindow::closeEvent(event);
}
