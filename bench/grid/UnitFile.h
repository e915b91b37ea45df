#pragma once
#include <string>

// A unit production file of the given number of units for the GUI benchmarks: four header rows
// (the first cell starts with "Name", so the kind is detected) and short, distinct cells.
inline std::string unitFile(int units) {
  std::string text;
  auto line = [&text](const std::string& prefix, const std::string& packed) {
    for (int f = 1; f <= 21; ++f) text += prefix + std::to_string(f) + '\t';
    text += packed + '\t';
    for (int f = 44; f <= 71; ++f) text += prefix + std::to_string(f) + (f < 71 ? "\t" : "\r\n");
  };
  for (int h = 1; h <= 4; ++h) line("Name, header " + std::to_string(h) + " of field ", "TroopStats");
  std::string packed = "\"";
  for (int f = 22; f <= 43; ++f) packed += std::to_string(f % 7) + (f < 43 ? ", " : "\"");
  for (int u = 1; u <= units; ++u) line("Unit" + std::to_string(u) + "_", packed);
  text += "\r\n\r\n";
  return text;
}
