#pragma once
#ifdef _WIN32
#include <string>

// The core's paths are std::string bytes. On Windows they are UTF-8, so that every file name can
// be named (the ANSI code page cannot hold most of them), and reach the system through its wide
// (UTF-16) functions.
namespace WindowsText {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// The absolute form of a path, for the calls that fail on relative ones.
std::wstring fullPath(const std::string& path);
// The path of the file itself, through symbolic links and junctions, in the "\\?\" form the
// system gives; 0 or the error number.
int finalPath(std::string& path);

// The C library's error number for a system error code, so that the user reads the same
// "[13] :Permission denied" on every platform; EIO for a code without one.
int errnoOf(unsigned long systemError);

}  // namespace WindowsText
#endif
