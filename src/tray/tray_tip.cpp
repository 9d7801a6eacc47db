#include "tray/tray_tip.h"

#include "platform/product_name.h"
#include "rules/entry_rules.h"

namespace {

constexpr int kTipBytes = 127;

} // namespace

QByteArray TrayTip(int state, const QByteArray& title) {
  QByteArray tip(kProductName);
  if (state != 0)
    tip += " (" + title + ")";
  return CutToWholeCharacters(tip, kTipBytes);
}
