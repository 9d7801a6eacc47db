#pragma once

#include <string>

// The per-user places that a running copy and its second launches share:
// under $XDG_RUNTIME_DIR, or in the temporary directory with the user id in
// the name when that is unset.
std::string InstanceLockPath();
std::string FallbackHandOffDirectory();

// Makes directory (mode 0700) if it is missing; true when it is then a real
// directory of ours that nobody else can write into.
bool EnsurePrivateDirectory(const std::string& directory);
