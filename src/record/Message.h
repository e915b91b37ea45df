#pragma once
#include <string>
#include <utility>

// A message box's content: composed in code-page text, shown by the window, printed by pelkoTool.
// A path in it stays apart as the file system's bytes, so that the window can show it in the
// file system's encoding.
struct Message {
  // Button sets and icons, combined by adding them.
  enum Style : int {
    OkOnly = 0,
    OkCancel = 1,
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
  };
  static constexpr int kButtonMask = 0x0F;
  enum Result : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

  Message(std::string title, std::string text, int style)
      : title(std::move(title)), text(std::move(text)), style(style) {}
  static Message withPath(std::string title, std::string before, std::string path, const std::string& after, int style) {
    Message message(std::move(title), std::move(before), style);
    message.pathAt = message.text.size();
    message.text += after;
    message.path = std::move(path);
    return message;
  }

  std::string title;
  std::string text;  // the path left out
  int style;
  std::string path;
  std::size_t pathAt = std::string::npos;  // where the path belongs in text; npos: there is none

  // The text with the path in its place, every byte as it is.
  std::string bytes() const {
    if (pathAt > text.size()) return text;
    return std::string(text).insert(pathAt, path);
  }
};
