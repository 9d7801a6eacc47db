#include "rules/handoff_files.h"

std::string HandOffName(int number) {
  return std::string(kHandOffPrefix) + std::to_string(number) + std::string(kHandOffSuffix);
}

bool IsHandOffName(std::string_view name) {
  return name.starts_with(kHandOffPrefix) && name.ends_with(kHandOffSuffix);
}
