#pragma once

#include <QFont>

constexpr int kWindowFontPixels = 12;

// The windows' texts are hinted by the faces' own instructions, as the
// classic desktop drew them. The light hinting of many desktops runs the
// automatic hinter instead, whose survey of a Japanese face reads half of its
// 6 MB file: a resident program would keep those pages for nothing.
inline QFont WithFacesOwnHinting(QFont font) {
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

// Set on a window before its parts are made, so that they take it from the
// start: each text is laid out once, and no other face is loaded for it.
inline QFont WindowFont() {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(kWindowFontPixels);
  return WithFacesOwnHinting(font);
}
