#pragma once
#include <cstring>
#include <string>

// A failure as the system named it: its error number and its own text for it.
struct SystemError {
  int number = 0;
  std::string text;

  static SystemError of(int number) { return {number, std::strerror(number)}; }
  // "[{number}] :{text}": how file errors are reported to the user.
  std::string described() const {
    // Appended piece by piece: g++ 12 warns wrongly (-Wrestrict) about "[" + std::string&&.
    std::string line = "[";
    line += std::to_string(number);
    line += "] :";
    line += text;
    return line;
  }
};
