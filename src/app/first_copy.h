#pragma once

#include "app/instance_lock.h"

#include <string>
#include <vector>

// The first copy's part of the program (toolkit, media layer, windows) is a
// module that only a first copy loads, so that a second launch maps none of
// their libraries. This is its entry.
inline constexpr const char* kFirstCopyEntry = "MellowdeckFirstCopy";

// Runs the player until its window closes; lock is the one the launcher took,
// released before the window's teardown. Returns the exit code.
using FirstCopyEntry = int (*)(char* programName, const std::vector<std::string>& paths,
                               InstanceLock& lock);
