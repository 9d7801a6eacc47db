#pragma once

// Registers the compiled-in pictures and texts. Resources compiled into a
// static library are found only once registered; calling again is harmless.
void InitResources();
