#pragma once

#include <QString>
#include <functional>

// The program's error box. Tests replace the presenter so that no modal box
// blocks them; the program shows a message box. Gives the presenter it replaced.
using ErrorPresenter = std::function<void(const QString& message)>;
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);
void ShowErrorBox(const QString& message);

// Runs one event handler: an error that escapes it is shown in the error box
// and the event loop goes on. Exceptions never cross the Qt event loop.
void Guarded(const std::function<void()>& handler);
