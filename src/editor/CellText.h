#pragma once
#include <QString>
#include <string>
#include <string_view>

// A cell's value (code-page bytes) as the cell editor shows it, and edits of the shown text
// carried back to the bytes so that only what was typed changes: line ends, non-breaking spaces
// and every other byte outside the edited span stay exactly as they were.
namespace CellText {

// Each byte as its code-page character; every line end (CR LF, CR or LF) one '\n', as the
// editor holds it.
QString display(std::string_view bytes);

struct Edit {
  std::string bytes;
  int unmappable = 0;  // characters the code page cannot hold, each stored as one '?'
};

// The value after the shown text went from `before` (display(bytes)) to `after`: the changed
// span is found and only it is encoded anew. Line breaks in it become the line ends of
// `pasted` when the span is that pasted text, CR LF otherwise.
// The text with each line end (CR LF, CR or LF) one '\n', as the editor holds it.
QString withPlainBreaks(QString text);

Edit apply(std::string_view bytes, const QString& before, const QString& after, const QString& pasted = {});

}  // namespace CellText
