#pragma once
#include <string>
#include <vector>

#include "Platform.h"

// Stands in for the message box while alive: records every box and answers as scripted.
class MessageRecorder {
 public:
  struct Box {
    std::string prompt;
    int style;
    std::string title;
  };

  MessageRecorder() {
    Platform::setMessageBox([this](const std::string& prompt, int style, const std::string& title) {
      boxes.push_back({Platform::withoutPathMarks(prompt), style, title});
      return answer;
    });
  }
  ~MessageRecorder() { Platform::setMessageBox(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<Box> boxes;
  int answer = Platform::Ok;
};
