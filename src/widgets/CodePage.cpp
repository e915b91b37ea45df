#include "CodePage.h"

#include <QDir>
#include <QFile>
#include <array>

namespace CodePage {
namespace {

// 0x80-0x9F; the five bytes Windows-1252 leaves undefined map to the C1 controls, as Windows does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t toUnicode(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t{byte};
}

char fromUnicode(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

QString toQString(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) *out++ = QChar(toUnicode(static_cast<unsigned char>(byte)));
  return text;
}

std::string fromQString(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) bytes += fromUnicode(c.unicode());
  return bytes;
}

// The core's paths are UTF-8 on Windows (WindowsText.h), where Qt's 8-bit names would be the
// ANSI code page's.
QString fromPath(std::string_view path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
#ifdef Q_OS_WIN
  return QString::fromUtf8(bytes);
#else
  return QFile::decodeName(bytes);
#endif
}

std::string toPath(const QString& path) {
#ifdef Q_OS_WIN
  return path.toUtf8().toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

QString shownPath(std::string_view path) {
#ifdef Q_OS_WIN
  return QDir::toNativeSeparators(fromPath(path)).toLower();
#else
  return fromPath(path);
#endif
}

}  // namespace CodePage
