#include "support/form_fixture.h"

#include "platform/error_box.h"

FormTest::FormTest() {
  previousPresenter_ = SetErrorPresenter([this](const QString& message) { errors << message; });
  Rebuild();
}

FormTest::~FormTest() {
  form.reset();
  SetErrorPresenter(std::move(previousPresenter_));
}

void FormTest::Rebuild(MediaPlayer& withPlayer, bool pollsByItself) {
  form.reset();
  form = std::make_unique<TForm1>(FormPlatform{.player = withPlayer,
                                               .tray = tray,
                                               .dialogs = dialogs,
                                               .random = random,
                                               .programDirectory = programDir.path(),
                                               .pollsByItself = pollsByItself});
}

void FormTest::SetList(const std::vector<QByteArray>& entries, int selected) {
  TheList().SetItems(entries);
  TheList().SetItemIndex(selected);
}

int FormTest::PlayedCount() const {
  int played = 0;
  for (int position = 0; position < PlayerState::kPlayedFlagCount; ++position)
    played += form->State().Played(position) ? 1 : 0;
  return played;
}

std::vector<std::string> FormTest::TakeCalls() {
  std::vector<std::string> calls;
  calls.swap(log.calls);
  return calls;
}
