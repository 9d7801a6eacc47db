#pragma once

#include "platform/error_box.h"

#include <QStringList>

// Collects what the error box would show, for as long as it lives; the
// presenter before it comes back however the test ends.
class CapturedErrors {
public:
  CapturedErrors()
      : previous_(SetErrorPresenter([this](const QString& message) { messages << message; })) {}
  ~CapturedErrors() { SetErrorPresenter(std::move(previous_)); }
  CapturedErrors(const CapturedErrors&) = delete;
  CapturedErrors& operator=(const CapturedErrors&) = delete;

  QStringList messages;

private:
  ErrorPresenter previous_;
};
