#pragma once

#include "ui_Help.h"

#include <QWidget>

// The manual window: the built-in manual, or the text of a readme.txt that
// lies in the program's directory when the window is made.
class TForm2 : public QWidget {
  Q_OBJECT
public:
  // The manual is a page of text; a readme.txt is read up to this many bytes
  // (cut at a line end), so that a huge one cannot hold up the start.
  static constexpr qint64 kReadmeLimit = 256 * 1024;

  // Throws MdkError when a readme.txt is there but cannot be read.
  explicit TForm2(const QString& programDirectory, QWidget* parent = nullptr);

  void BitBtn1Click();

protected:
  void showEvent(QShowEvent* event) override;

private:
  Ui::TForm2 ui_;
  bool shownBefore_ = false;
};
