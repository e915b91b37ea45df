#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#ifdef _WIN32
#include <filesystem>
#include <process.h>
#else
#include <unistd.h>
#endif

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

// A file of this process's own, named prefix, process number, suffix: in memory where the system
// has such a place.
inline std::string scratchFile(const std::string& prefix, const std::string& suffix) {
#ifdef _WIN32
  return (std::filesystem::temp_directory_path() / (prefix + std::to_string(::_getpid()) + suffix)).string();
#else
  return "/dev/shm/" + prefix + std::to_string(::getpid()) + suffix;
#endif
}
