#include "FileFailure.h"

#include <cerrno>

#include "FileKind.h"
#include "GlobalShared.h"

namespace {

std::string detailText(const ParseFailure& failure, const std::string& section) {
  const std::string formatted = "The " + section + " Data is incorrectly formatted.";
  switch (failure.detail) {
    case ParseFailure::Detail::NoData:
      return "There is no data in this file!";
    case ParseFailure::Detail::IncorrectlyFormatted:
      return formatted;
    case ParseFailure::Detail::TooLong:
      return formatted + "\r\nMore than 40,000 chars in a single record!\r\n"
                         "(probably caused by forcing a unit_prod11 file to load as a ProjectileStats File\r\n"
                         "or an out of place or missing \" somewhere in data.)";
    case ParseFailure::Detail::EndOfData:
      return formatted + "\r\nReached end of data without finding a record(end)!\r\n"
                         "(probably caused by forcing a non-MTW file to load,\r\n"
                         "or an out of place/missing \" somewhere in data.)";
    case ParseFailure::Detail::Other:
      break;
  }
  return "Err.No: " + std::to_string(failure.errorNumber) + "\r\nErr.desc: " + failure.errorDescription;
}

Message messageOf(const FileFailure& failure) {
  using Kind = FileFailure::Kind;
  switch (failure.kind) {
    case Kind::Unreadable:
      return Message::withPath("PelkoEditor", "An error occurred trying to read '", failure.path,
                               "'\r\n" + failure.error.described(), Message::OkOnly | Message::Critical);
    case Kind::NotAFile:
      return Message::withPath("PelkoEditor", "An error occurred trying to read '", failure.path,
                               "'\r\n" + SystemError::of(EINVAL).described() + " (not a regular file)",
                               Message::OkOnly | Message::Critical);
    case Kind::UnknownKind:
      return {"LoadRecord Aborted!",
              "Couldn't auto-detect File Type!\r\n\r\n"
              "This File dosen't appear appears to be a MTW File, switch auto-detect "
              "off and try forcing it to load as a specific file-type if you are sure it contains validly formatted data.",
              Message::OkOnly | Message::Critical};
    case Kind::BadData: {
      const std::string section = FileKind::sectionName(failure.fileType);
      return {"Error Loading " + section + " file",
              "There was an error loading the data.\r\n\r\n" + detailText(failure.data, section) +
                  "\r\n\r\nThe Program stopped Loading at Record: " + std::to_string(failure.data.record) +
                  "  Field: " + std::to_string(failure.data.field),
              Message::OkOnly | Message::Exclamation};
    }
    case Kind::WouldNotReadBack:
      return Message::withPath("PelkoEditor", "The data cannot be saved to '", failure.path,
                               "' as it is, because it would not read back the same:\r\n\r\n" + failure.problem +
                                   ".\r\n\r\nNothing was written. Correct the value and save again.",
                               Message::OkOnly | Message::Exclamation);
    case Kind::NotWritten:
      return Message::withPath("PelkoEditor", "An error occurred trying to save to '", failure.path,
                               "'\r\n" + failure.error.described(), Message::OkOnly);
    case Kind::SettingsNotKept:
      break;
  }
  return Message::withPath("PelkoEditor",
                           "PelkoEditor cannot keep its settings (the view of each kind of file and the window's place): '",
                           failure.path, "' cannot be written.", Message::OkOnly | Message::Exclamation);
}

}  // namespace

std::vector<Message> failureMessages(const FileFailure& failure) {
  std::vector<Message> messages;
  for (const FileFailure& earlier : failure.before) {
    std::vector<Message> more = failureMessages(earlier);
    messages.insert(messages.end(), more.begin(), more.end());
  }
  messages.push_back(messageOf(failure));
  return messages;
}
