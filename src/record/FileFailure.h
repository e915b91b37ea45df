#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DataFileParser.h"
#include "Expected.h"
#include "Message.h"
#include "SystemError.h"

// What went wrong reading, loading or writing a file, kept as data until the window shows it or
// pelkoTool prints it.
struct FileFailure {
  enum class Kind {
    Unreadable,        // the system refused the read: error
    NotAFile,          // the path names a folder, pipe, device or socket
    UnknownKind,       // the first characters name no kind of data file
    BadData,           // the parser stopped: fileType, data
    WouldNotReadBack,  // a save refused before writing anything: problem
    NotWritten,        // the system refused the write: error
    SettingsNotKept,   // the settings file cannot be written
  };
  FileFailure(Kind kind, std::string path, SystemError error = {})
      : kind(kind), path(std::move(path)), error(std::move(error)) {}

  Kind kind;
  std::string path;
  SystemError error;
  std::int32_t fileType = 0;
  ParseFailure data{};
  std::string problem;  // the record and field, as SaveGuard::describe names them
  // Reported ahead of this one: a file that could not be read is still loaded, with no text, as
  // the first program did, and that load then fails too.
  std::vector<FileFailure> before;
};

template <class T>
using FileResult = pelko::expected<T, FileFailure>;

// The boxes a failure shows, in order, word for word as the program has always shown them.
std::vector<Message> failureMessages(const FileFailure& failure);
