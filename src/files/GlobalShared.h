#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The codes of the kinds of data file (FileKind describes them) and the small file operations
// every subsystem uses. Free functions without state.
namespace GlobalShared {

// 1 unit production, 2 building production, 3 projectile statistics; 0 no kind (or: detect it).
using FileType = std::int32_t;
constexpr FileType kUnitProd = 1;
constexpr FileType kBuildProd = 2;
constexpr FileType kProjectileStats = 3;

// True when the path names an existing file or folder.
bool fileExists(const std::string& sPath);
// Whether two paths name the same file as the platform compares names: on Windows in any letter
// case and with either separator.
bool samePath(std::string_view a, std::string_view b);
// A file nobody may write: no write permission at all, or the read-only attribute on Windows.
bool isReadOnlyFile(const std::string& sPath);

// What joins a folder and a name, and what may end a folder's name. Windows also takes '/', but
// not in every form of path.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kPathSeparators = "\\/";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kPathSeparators = "/";
#endif

// The part after the last path separator ('/', and '\\' on Windows); the whole path when it has none.
std::string getFileName(const std::string& sPath);
// The part before the last path separator: "." when it has none, "/" for a file at the root.
std::string getFolderName(const std::string& sPath);

// What readFileBytes returns for a path that names a folder, pipe, device or socket: reading one
// could wait forever.
constexpr int kNotRegularFile = -1;
// The file's bytes, one character each: 0, the error number, or kNotRegularFile.
int readFileBytes(const std::string& sPath, std::string& text);
// Reserves room for size bytes. Fresh memory is mapped slowly page by page on these machines
// (about 330 MB/s): a large buffer asks for huge pages before it is first touched.
void reserveLarge(std::string& text, std::size_t size);
// The same for any buffer not yet touched, such as a vector just reserved.
void adviseLarge(const void* data, std::size_t size);

// Makes a folder and the folders above it that are missing; false when it cannot be made.
bool makeFolders(const std::string& folder);

// "[{number}] :{description}": how file errors are reported to the user.
std::string describeError(int errorNumber);

}  // namespace GlobalShared
