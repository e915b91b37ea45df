#include "Platform.h"

#include <iostream>

namespace Platform {
namespace {

int answerOnStandardError(const std::string& prompt, int style, const std::string& title) {
  std::cerr << title << '\n' << withoutPathMarks(prompt) << '\n';
  switch (style & kButtonMask) {
    case YesNoCancel:
    case YesNo:
      return Yes;
    default:
      return Ok;
  }
}

MessageBoxFn& messageBoxFn() {
  static MessageBoxFn fn = answerOnStandardError;
  return fn;
}

std::string& folder() {
  static std::string value = ".";
  return value;
}

ScreenTwips& screen() {
  static ScreenTwips value{pixelsToTwips(1920), pixelsToTwips(1080)};
  return value;
}

}  // namespace

std::string pathInMessage(const std::string& path) { return kPathStart + withoutPathMarks(path) + kPathEnd; }

std::string withoutPathMarks(std::string text) {
  std::erase_if(text, [](char c) { return c == kPathStart || c == kPathEnd; });
  return text;
}

void setMessageBox(MessageBoxFn fn) { messageBoxFn() = fn ? std::move(fn) : answerOnStandardError; }

int msgBox(const std::string& prompt, int style, const std::string& title) {
  return messageBoxFn()(prompt, style, title);
}

void setProgramFolder(std::string value) { folder() = std::move(value); }
const std::string& programFolder() { return folder(); }

void setScreenTwips(ScreenTwips size) { screen() = size; }
ScreenTwips screenTwips() { return screen(); }

}  // namespace Platform
