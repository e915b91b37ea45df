#pragma once
#include <cstdio>
#include <cstdlib>

// A violated property aborts the run with a line on standard error, so libFuzzer keeps the input.
inline void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}
