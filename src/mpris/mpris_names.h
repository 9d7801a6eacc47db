#pragma once

#include <QString>

// Where the player answers on the session bus.
inline const QString kMprisService = QStringLiteral("org.mpris.MediaPlayer2.mellowdeck");
inline const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kMprisPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
