#pragma once

#include <QByteArray>

// The tray icon's tip for a tray state: the product's name, and while a file
// plays or pauses its title too, cut to what the tray takes.
QByteArray TrayTip(int state, const QByteArray& title);
