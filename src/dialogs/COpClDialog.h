#pragma once
#include <climits>
#include <cstdint>
#include <string>

class QWidget;

// The platform's open and save dialogs. Texts are byte strings: paths in the file system's own
// encoding (as the loader opens them), the others in the code page.
class COpClDialog {
 public:
  // Flags of the platform's dialog record that the callers use.
  static constexpr std::int32_t kReadOnly = 1;
  static constexpr std::int32_t kOverwritePrompt = 2;
  static constexpr std::int32_t kHideReadOnly = 4;
  static constexpr std::int32_t kEnableHook = 32;
  static constexpr std::int32_t kEnableTemplate = 64;
  static constexpr std::int32_t kAllowMultiSelect = 512;
  static constexpr std::int32_t kFileMustExist = 4096;
  // The file-name buffer's size, its terminating NUL included: the platform's own path limit.
  static constexpr std::size_t kMaxPath = PATH_MAX;
  // The extended error for a path that does not fit that buffer.
  static constexpr std::int32_t kBufferTooSmall = 0x3003;

  // Owner nullptr: no owner window (the platform's -1).
  bool VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool& FileMustExist, bool& MultiSelect,
                         bool& ReadOnly, bool& HideReadOnly, std::string& Filter, std::int32_t& FilterIndex,
                         std::string& InitDir, std::string& DlgTitle, std::string& DefaultExt, QWidget* Owner,
                         std::int32_t& flags);
  bool VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool& OverWritePrompt, std::string& Filter,
                         std::int32_t& FilterIndex, std::string& InitDir, std::string& DlgTitle,
                         std::string& DefaultExt, QWidget* Owner, std::int32_t& flags);
  // The name part of a path; empty when the path names no file.
  std::string VBGetFileTitle(const std::string& sFile) const;

  std::int32_t APIReturn() const { return mAPIReturn; }
  std::int32_t ExtendedError() const { return mExtendedError; }

  // The filter as the platform takes it: every bar and colon a NUL, two NULs appended.
  static std::string platformFilter(const std::string& Filter);

 private:
  enum class Mode { Open, Save };
  bool showDialog(Mode mode, std::string& Filename, std::string& FileTitle, std::string& Filter,
                  std::int32_t& FilterIndex, const std::string& InitDir, const std::string& DlgTitle,
                  const std::string& DefaultExt, QWidget* Owner, std::int32_t& flags);

  std::int32_t mAPIReturn = 0;
  std::int32_t mExtendedError = 0;
};
