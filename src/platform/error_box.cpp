#include "platform/error_box.h"

#include "platform/mdk_error.h"
#include "platform/product_name.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace {

ErrorPresenter& Presenter() {
  static ErrorPresenter presenter = [](const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromLatin1(kProductName), message);
  };
  return presenter;
}

} // namespace

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}

void ShowErrorBox(const QString& message) {
  Presenter()(message);
}

void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorBox(QString::fromLocal8Bit(e.what()));
  }
}
