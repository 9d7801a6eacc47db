#include "support/form_fixture.h"

#include "platform/error_box.h"

#include <QTimer>

FormTest::FormTest() {
  previousPresenter_ = SetErrorPresenter([this](const QString& message) { errors << message; });
  Rebuild();
}

FormTest::~FormTest() {
  form.reset();
  SetErrorPresenter(std::move(previousPresenter_));
}

void FormTest::Rebuild() {
  form.reset();
  form =
      std::make_unique<TForm1>(FormPlatform{player, tray, dialogs, random, programDir.path(), {}});
  form->Timer1->stop();
}

void FormTest::SetList(const std::vector<QByteArray>& entries, int selected) {
  form->ListBox1->SetItems(entries);
  form->ListBox1->SetItemIndex(selected);
}

std::vector<std::string> FormTest::TakeCalls() {
  std::vector<std::string> calls;
  calls.swap(log.calls);
  return calls;
}
