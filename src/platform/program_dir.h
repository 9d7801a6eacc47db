#pragma once

#include <QString>

// The directory of the running executable, links resolved, without a
// trailing separator unless it is the root.
QString ProgramDirectory();
