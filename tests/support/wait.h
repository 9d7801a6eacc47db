#pragma once

#include <functional>

// Processes Qt events until the condition holds or the bound runs out;
// returns the condition's last value.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
