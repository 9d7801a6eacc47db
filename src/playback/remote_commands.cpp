#include "Mdkmain.h"

QAction* TForm1::CommandItem(Command command) const {
  switch (command) {
  case Command::Play:
    return ui_.startplay1;
  case Command::Pause:
    return ui_.pauseplay1;
  case Command::Stop:
    return ui_.stopplay1;
  case Command::Next:
    return ui_.nextfile1;
  case Command::Previous:
    return ui_.previousfile1;
  case Command::ShowWindow:
    return ui_.Openmainwindows1;
  case Command::Exit:
    return ui_.exit1;
  case Command::RandomPlay:
    return ui_.random1;
  case Command::ContinuousPlay:
    return ui_.autorepeat1;
  }
  return nullptr;
}

bool TForm1::CanRun(Command command) const {
  return CommandItem(command)->isEnabled();
}

bool TForm1::Run(Command command) {
  QAction* item = CommandItem(command);
  if (!item->isEnabled())
    return false;
  // The item's own binding runs the handler, as a click on it would.
  item->trigger();
  return true;
}
