#pragma once

#include "rules/handoff_writer.h"

#include <ostream>
#include <string>
#include <vector>

// A second launch: one hand-off file per argument, in order, relative names
// made absolute against currentDirectory. Arguments that could not be handed
// over are named on errors. Returns the exit code, 1 in every case.
int RunSecondLaunch(const std::vector<std::string>& arguments, const HandOffPlaces& places,
                    const std::string& currentDirectory, std::ostream& errors);
