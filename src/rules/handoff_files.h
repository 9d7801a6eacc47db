#pragma once

#include <string>
#include <string_view>

// A hand-off file carries one argument of a second launch to the running
// copy: its name is "mdk_tmp<number>.tmp", its content the argument's bytes.
inline constexpr std::string_view kHandOffPrefix = "mdk_tmp";
inline constexpr std::string_view kHandOffSuffix = ".tmp";
// The reader keeps this many bytes of a file at most.
inline constexpr int kHandOffReadLimit = 511;

std::string HandOffName(int number);
bool IsHandOffName(std::string_view name);
