#pragma once

// The program's name as its users see it: the error box's caption and the
// tray's tip.
inline constexpr char kProductName[] = "Mellowdeck";
