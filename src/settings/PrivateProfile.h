#pragma once
#include <string>
#include <vector>

// A private-profile (INI) file, one key per call: "[Section]" lines, then "key=value" lines.
// Section and key names match without regard to case; the first of duplicates counts. Blanks
// around names and values are not part of them. Files with LF line ends or a UTF-8 byte-order
// mark read as well as our own (CR LF).
namespace GlobalShared {

// At most this many characters of a value come back.
constexpr std::size_t kIniValueLimit = 2047;

// The key's value; sDefault when the key (or the file) is absent; "" when the value is empty.
std::string readIniString(const std::string& sSection, const std::string& sKey, const std::string& sDefault,
                          const std::string& sFile);

// Replaces or adds the key's line, creating the section and the file when missing; every other
// byte of the file stays. The file is replaced whole, never left half-written (a read-only file
// is left alone, a link is written through), and writers in other processes are kept out
// meanwhile. Returns false when the file could not be written.
bool writeIniString(const std::string& sSection, const std::string& sKey, const std::string& sValue,
                    const std::string& sFile);

struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};
// The same for several keys, in order, with one rewrite of the file.
bool writeIniStrings(const std::vector<IniEntry>& entries, const std::string& sFile);

}  // namespace GlobalShared
