#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The only ways the core reaches the platform. main() sets each once; tests replace them.
namespace Platform {

// The folder of the running executable, without a closing separator. Until main() sets it, the
// system's answer.
void setProgramFolder(std::string folder);
const std::string& programFolder();

// The program's arguments after its name, as the core takes paths: on Windows in UTF-8, which its
// 8-bit argv (the ANSI code page) cannot give for most names.
std::vector<std::string> arguments(int argc, char** argv);

constexpr std::int32_t kTwipsPerPixel = 15;  // at 96 dots per inch
constexpr std::int32_t pixelsToTwips(std::int32_t pixels) { return pixels * kTwipsPerPixel; }

struct ScreenTwips {
  std::int32_t width;
  std::int32_t height;
};
// Defaults to a 1920 x 1080 screen until main() reads the real one.
void setScreenTwips(ScreenTwips size);
ScreenTwips screenTwips();

}  // namespace Platform
