#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The calls on an open file that the atomic writer and the journal share. A file is a file
// descriptor, or on Windows a HANDLE, held as an integer as both classes hold it.
namespace SystemFile {

// Writes all of `bytes` at the file's position, however few each call of the system takes. False
// on a failure, whose reason is then in errno, on Windows in GetLastError(), so that each caller
// keeps its own reading of it.
bool writeAll(std::intptr_t file, std::string_view bytes);

#ifndef _WIN32
// A new or renamed file's name must reach the disk too, or a power cut can leave the folder
// without it. Best effort: a folder that cannot be opened is left as it is.
void syncFolder(const std::string& path);
#endif

}  // namespace SystemFile
