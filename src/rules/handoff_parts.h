#pragma once

#include <QByteArray>
#include <chrono>
#include <string_view>

// A second launch writes each hand-off file under a hidden part name first
// and then links it into place; one killed in between leaves its part file.
inline constexpr std::string_view kHandOffPartPrefix = ".mdk_part_";
// A launch writes its part file within moments; one untouched this long
// belongs to no launch that is still running.
inline constexpr std::chrono::seconds kStalePartAge{60};

// Removes the stale part files from directory; fresh ones are left to the
// launch that is writing them.
void RemoveStaleHandOffParts(const QByteArray& directory);
