#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The only ways the core reaches the platform. main() sets each once; tests replace them.
namespace Platform {

// Button sets and icons, combined by adding them, as message boxes take them.
enum MsgBoxStyle : int {
  OkOnly = 0,
  OkCancel = 1,
  YesNoCancel = 3,
  YesNo = 4,
  Critical = 16,
  Question = 32,
  Exclamation = 48,
  Information = 64,
};
constexpr int kButtonMask = 0x0F;

enum MsgBoxResult : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

using MessageBoxFn = std::function<int(const std::string& prompt, int style, const std::string& title)>;

// Paths inside a box's text are the file system's bytes, not code-page text: they are marked, so
// that a box shows each part in its own encoding.
constexpr char kPathStart = '\x02';
constexpr char kPathEnd = '\x03';
std::string pathInMessage(const std::string& path);
// The text without the marks, for an output that takes bytes as they are.
std::string withoutPathMarks(std::string text);

// Until main() installs one, boxes go to standard error and answer with their first button.
void setMessageBox(MessageBoxFn fn);
int msgBox(const std::string& prompt, int style, const std::string& title);

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
