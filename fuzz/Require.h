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


// A violated property aborts the run with a line on standard error, so libFuzzer keeps the input.
inline void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
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
