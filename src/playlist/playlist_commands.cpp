#include "Mdkmain.h"

#include "rules/entry_rules.h"
#include "rules/playlist_file.h"

#include <algorithm>

namespace {

// Only markers among the first entries turn a mode on.
constexpr int kMarkerLines = 5;

} // namespace

void TForm1::loadlist1Click() {
  OpenDialog3.initialDirectory = programDirectory_;
  const std::optional<QStringList> chosen = dialogs_.OpenFiles(OpenDialog3);
  if (!chosen)
    return;
  std::vector<QByteArray> entries = ReadPlaylistFile(chosen->first());
  std::transform(entries.begin(), entries.end(), entries.begin(), LoadForm);

  const auto head = entries.begin() + std::min<std::ptrdiff_t>(kMarkerLines, entries.size());
  const bool random = std::find(entries.begin(), head, kRandomMarker) != head;
  const bool autoplay = std::find(entries.begin(), head, kAutoplayMarker) != head;

  list_.SetItems(std::move(entries));
  list_.SetItemIndex(0);
  state_.SetRandomPlay(random);
  state_.SetContinuousPlay(autoplay);
  if (autoplay)
    PlayStep(1);
}

void TForm1::savelist1Click() {
  SaveDialog2.initialDirectory = programDirectory_;
  const std::optional<QString> chosen = dialogs_.SaveFile(SaveDialog2);
  if (!chosen)
    return;
  WritePlaylistFile(*chosen, list_.Items());
}
