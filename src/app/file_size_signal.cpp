#include "app/file_size_signal.h"

#include <csignal>

void IgnoreFileSizeSignal() {
  std::signal(SIGXFSZ, SIG_IGN);
}
