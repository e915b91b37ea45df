#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Platform.h"

// A violated property aborts the run with a line on standard error, so libFuzzer keeps the input.
inline void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

// Message boxes answer OK at once and are counted, so that a target can require that a failure
// is reported exactly once. Call at the start of every input.
inline int& messageBoxesShown() {
  static int shown = 0;
  static const bool installed = [] {
    Platform::setMessageBox([](const std::string&, int, const std::string&) {
      ++shown;
      return static_cast<int>(Platform::Ok);
    });
    return true;
  }();
  (void)installed;
  return shown;
}
