#pragma once

// A write beyond the file-size limit (ulimit -f) would end the whole process
// with SIGXFSZ; ignored, the write fails with EFBIG and the save or hand-off
// reports it like any other failure. Called first thing in main.
void IgnoreFileSizeSignal();
