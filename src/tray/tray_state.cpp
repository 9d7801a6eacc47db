#include "Mdkmain.h"

#include "platform/product_name.h"
#include "platform/tray_shell.h"
#include "tray/tray_icons.h"
#include "tray/tray_tip.h"

void TForm1::AddTrayIcon() {
  tray_.Add(LoadIconResource(QStringLiteral("MAINICON")), kProductName);
}

void TForm1::RemoveTrayIcon() {
  tray_.Delete();
}

// Follows the state's announcements: a repeated state is not one, so it
// refreshes nothing, not even a title that has changed.
void TForm1::ShowTrayState() {
  const int state = state_.TrayState();
  tray_.Modify(StateIcons[size_t(state)], TrayTip(state, state_.CurrentTitle()));
}
