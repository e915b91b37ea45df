#include "CellText.h"

#include <algorithm>
#include <vector>

#include "CodePage.h"

namespace CellText {
namespace {

constexpr char16_t kBreak = u'\n';

// Where each shown character's bytes begin, and one entry past the end.
std::vector<std::size_t> byteStarts(std::string_view bytes) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    starts.push_back(i);
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  starts.push_back(bytes.size());
  return starts;
}

// Text back to bytes: a character outside the code page (one code point, even when it takes two
// UTF-16 units) becomes one '?'; a line break of the shown text CR LF, unless the text's own
// line ends are exact.
void encode(const QString& text, bool exactLineEnds, std::string& out, int& unmappable) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
      ++i;
    }
    if (c == kBreak && !exactLineEnds) {
      out += "\r\n";
      continue;
    }
    const std::string byte = c <= 0xFFFF ? CodePage::fromQString(QString(QChar(static_cast<char16_t>(c)))) : "?";
    if (byte == "?" && c != u'?') ++unmappable;
    out += byte;
  }
}

}  // namespace

QString withPlainBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QString(QChar(kBreak)));
  text.replace(QLatin1Char('\r'), QChar(kBreak));
  return text;
}

QString display(std::string_view bytes) { return withPlainBreaks(CodePage::toQString(bytes)); }

Edit apply(std::string_view bytes, const QString& before, const QString& after, const QString& pasted) {
  const qsizetype shorter = std::min(before.size(), after.size());
  qsizetype prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
  const std::vector<std::size_t> starts = byteStarts(bytes);
  const std::size_t removedFrom = starts[static_cast<std::size_t>(std::min(prefix, qsizetype(starts.size() - 1)))];
  const std::size_t removedTo =
      starts[static_cast<std::size_t>(std::clamp(before.size() - suffix, qsizetype{0}, qsizetype(starts.size() - 1)))];
  const QString inserted = after.mid(prefix, after.size() - suffix - prefix);

  Edit edit;
  edit.bytes.assign(bytes.substr(0, removedFrom));
  // A paste keeps its own line ends, which the editor turned into plain breaks.
  const bool wasPasted = !pasted.isEmpty() && withPlainBreaks(pasted) == inserted;
  encode(wasPasted ? pasted : inserted, wasPasted, edit.bytes, edit.unmappable);
  edit.bytes.append(bytes.substr(removedTo));
  return edit;
}

}  // namespace CellText
