#include "COpClDialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "CodePage.h"
#include "ShowMessage.h"

namespace {

struct NameFilter {
  std::string description;
  std::string pattern;
};

// Description and pattern pairs of a platform filter; a description without a pattern is dropped.
std::vector<NameFilter> filterPairs(const std::string& platform) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t nul = platform.find('\0'); nul != std::string::npos && nul > start; nul = platform.find('\0', start)) {
    items.push_back(platform.substr(start, nul - start));
    start = nul + 1;
  }
  std::vector<NameFilter> pairs;
  for (std::size_t i = 0; i + 1 < items.size(); i += 2) pairs.push_back({items[i], items[i + 1]});
  return pairs;
}

// Qt reads a filter's patterns from its last parentheses, separated by blanks.
QString qtNameFilter(const NameFilter& filter) {
  QString patterns = CodePage::toQString(filter.pattern);
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  const QString description = CodePage::toQString(filter.description);
  const QString suffix = QLatin1Char('(') + patterns + QLatin1Char(')');
  return description.endsWith(suffix) ? description : description + QLatin1Char(' ') + suffix;
}

}  // namespace

std::string COpClDialog::platformFilter(const std::string& Filter) {
  std::string platform = Filter;
  for (char& c : platform)
    if (c == '|' || c == ':') c = '\0';
  return platform + std::string(2, '\0');
}

bool COpClDialog::VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool& FileMustExist,
                                    bool& MultiSelect, bool& ReadOnly, bool& HideReadOnly, std::string& Filter,
                                    std::int32_t& FilterIndex, std::string& InitDir, std::string& DlgTitle,
                                    std::string& DefaultExt, QWidget* Owner, std::int32_t& flags) {
  std::int32_t platformFlags = (FileMustExist ? kFileMustExist : 0) | (MultiSelect ? kAllowMultiSelect : 0) |
                               (ReadOnly ? kReadOnly : 0) | (HideReadOnly ? kHideReadOnly : 0);
  flags = platformFlags | (flags & ~(kEnableHook | kEnableTemplate));
  const bool chosen = showDialog(Mode::Open, Filename, FileTitle, Filter, FilterIndex, InitDir, DlgTitle, DefaultExt,
                                 Owner, flags);
  if (chosen) ReadOnly = (flags & kReadOnly) != 0;
  return chosen;
}

bool COpClDialog::VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool& OverWritePrompt,
                                    std::string& Filter, std::int32_t& FilterIndex, std::string& InitDir,
                                    std::string& DlgTitle, std::string& DefaultExt, QWidget* Owner,
                                    std::int32_t& flags) {
  flags = (OverWritePrompt ? kOverwritePrompt : 0) | kHideReadOnly | (flags & ~(kEnableHook | kEnableTemplate));
  return showDialog(Mode::Save, Filename, FileTitle, Filter, FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, flags);
}

std::string COpClDialog::VBGetFileTitle(const std::string& sFile) const {
  return CodePage::toPath(QFileInfo(CodePage::fromPath(sFile)).fileName());
}

bool COpClDialog::showDialog(Mode mode, std::string& Filename, std::string& FileTitle, std::string& Filter,
                             std::int32_t& FilterIndex, const std::string& InitDir, const std::string& DlgTitle,
                             const std::string& DefaultExt, QWidget* Owner, std::int32_t& flags) {
  mAPIReturn = 0;
  mExtendedError = 0;
  const std::vector<NameFilter> pairs = filterPairs(platformFilter(Filter));
  QStringList nameFilters;
  for (const NameFilter& pair : pairs) nameFilters << qtNameFilter(pair);

  QFileDialog dialog(Owner, CodePage::toQString(DlgTitle), CodePage::fromPath(InitDir));
  dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  if (mode == Mode::Open)
    dialog.setFileMode((flags & kAllowMultiSelect) ? QFileDialog::ExistingFiles
                       : (flags & kFileMustExist)  ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (flags & kOverwritePrompt) == 0);
  dialog.setNameFilters(nameFilters);
  if (FilterIndex >= 1 && FilterIndex <= nameFilters.size()) dialog.selectNameFilter(nameFilters[FilterIndex - 1]);
  dialog.setDefaultSuffix(CodePage::toQString(DefaultExt));
  if (!Filename.empty())
    dialog.selectFile(CodePage::fromPath(Filename.substr(0, kMaxPath - 1)));

  QStringList chosen;
  if (dialog.exec() == QDialog::Accepted) chosen = dialog.selectedFiles();
  // Several files come back as their folder, as the platform's list starts with it.
  const QString path = chosen.size() > 1 ? QFileInfo(chosen.front()).absolutePath() : chosen.value(0);
  const std::string bytes = CodePage::toPath(path);
  if (!chosen.isEmpty() && bytes.size() < kMaxPath) {
    mAPIReturn = 1;
    Filename = bytes;
    FileTitle = chosen.size() > 1 ? std::string() : VBGetFileTitle(bytes);
    FilterIndex = static_cast<std::int32_t>(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
    const NameFilter selected = FilterIndex >= 1 ? pairs[static_cast<std::size_t>(FilterIndex - 1)] : NameFilter{};
    Filter = selected.description + '\0' + selected.pattern;
    return true;
  }
  if (!chosen.isEmpty()) {  // a cancel has no extended error
    mExtendedError = kBufferTooSmall;
    ShowMessage::box(Message::withPath("PelkoEditor",
                                       "The path is too long for this system (" + std::to_string(bytes.size()) +
                                           " bytes; at most " + std::to_string(kMaxPath - 1) + "):\r\n",
                                       bytes, "", Message::OkOnly | Message::Exclamation));
  }
  Filename.clear();
  FileTitle.clear();
  Filter.clear();
  flags = 0;
  return false;
}
