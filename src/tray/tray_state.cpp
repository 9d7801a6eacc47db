#include "Mdkmain.h"

#include "platform/product_name.h"
#include "platform/tray_shell.h"
#include "rules/entry_rules.h"
#include "tray/tray_icons.h"

namespace {

constexpr int kTipBytes = 127;

} // namespace

void TForm1::AddTrayIcon() {
  tray_.Add(LoadIconResource(QStringLiteral("MAINICON")), kProductName);
}

void TForm1::RemoveTrayIcon() {
  tray_.Delete();
}

QByteArray TForm1::TrayTip(int state) const {
  QByteArray tip(kProductName);
  if (state != 0)
    tip += " (" + CurrentTitle + ")";
  return CutToWholeCharacters(tip, kTipBytes);
}

void TForm1::SetTrayState(int state) {
  // A repeated state refreshes nothing, not even a title that has changed.
  if (state == TrayState)
    return;
  TrayState = state;
  tray_.Modify(StateIcons[size_t(state)], TrayTip(state));
}
