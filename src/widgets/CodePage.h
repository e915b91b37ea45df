#pragma once
#include <QString>
#include <string>
#include <string_view>

// Data and settings are 8-bit text in the Windows-1252 code page; Qt works in Unicode. Every
// byte string reaches Qt through these, so that data bytes are never taken for UTF-8.
namespace CodePage {

// Every byte maps to one character and back.
QString toQString(std::string_view bytes);
// A character the code page cannot hold becomes '?'.
std::string fromQString(const QString& text);

// Paths are the file system's own bytes, not code-page text: a name chosen in a dialog must
// open the same file.
QString fromPath(std::string_view path);
std::string toPath(const QString& path);

// A path as the window's texts show it: as it is, except on Windows, whose file names ignore case
// and whose editor showed them in lower case, with its backslashes.
QString shownPath(std::string_view path);

}  // namespace CodePage
