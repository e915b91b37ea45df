#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// The figures the GUI benchmarks give. On a machine shared with other work the least time is the
// run that was disturbed least and the median the usual one; a mean would mix in the disturbances.

inline double msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double minimum(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

inline double maximum(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// "WHAT: min 12 ms, median 15 ms", in whole milliseconds.
inline void reportMinMedian(const std::string& what, const std::vector<double>& ms) {
  std::printf("%s: min %.0f ms, median %.0f ms\n", what.c_str(), minimum(ms), median(ms));
}
