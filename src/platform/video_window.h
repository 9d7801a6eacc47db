#pragma once

#include <QImage>
#include <QRasterWindow>
#include <QSize>
#include <QString>

// The top-level window a video plays in: one of the program's own windows,
// so that it carries the program's class, app id and icon, titled with the
// media's file name. It stays hidden until a frame comes.
class VideoWindow : public QRasterWindow {
public:
  explicit VideoWindow(const QString& title);

  // Shows the frame at the picture's display size (pixels of the frame times
  // its pixel aspect). The first frame sizes the window and shows it, unless
  // the user has closed the window since it was last retired.
  void ShowFrame(const QImage& frame, QSize displaySize);
  // Hides the window and lets go of its frame; the next frame shows it again.
  void Retire();

protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QImage frame_;
  QSize displaySize_;
  bool sized_ = false;
  // Closed by the user: the media plays on, and its frames must not pull the
  // window back up.
  bool dismissed_ = false;
};
