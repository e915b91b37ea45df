#pragma once
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "GlobalShared.h"

// Fields first to last, both included; an empty span has first 0.
struct FieldSpan {
  std::int32_t first = 0;
  std::int32_t last = 0;
  constexpr bool empty() const { return first == 0; }
  constexpr bool holds(std::int32_t field) const { return !empty() && field >= first && field <= last; }
};

// A run of fields that starts out at one display width (twips).
struct WidthSpan {
  std::int32_t width;
  FieldSpan fields;
};

// Everything by which the kinds of data file differ. One row per kind; code 0 (no kind) has none.
// Header-only and constexpr, so that the settings code below the record store can read the names
// and the parser's hot loops see constants.
struct FileKind {
  // Every kind has as many field ranges: the window's range buttons exist before a kind is chosen.
  static constexpr std::int32_t kRangeCount = 6;
  // A width that always shows the field at the widest the grid allows.
  static constexpr std::int32_t kWidestWidth = -1;

  GlobalShared::FileType code;
  std::string_view section;  // in the settings file; bracketed, it names the kind to the user
  std::string_view stem;     // of the file's default name, before "txt" or "bak"
  std::string_view startKey;  // a file of the kind starts with it, in any case
  std::int32_t noFields;
  std::int32_t firstUnit;  // the records before it are header rows
  // The field that holds a unit's name: shown beside each row, and by which two files' records pair.
  std::int32_t nameField;
  // Fields kept in one quoted, comma-separated cell; a header row's cell stands for all of them.
  FieldSpan packed;
  std::int32_t packedRange;  // the range that starts out as the packed fields; 0 for none
  bool headerToLastSemicolon;  // the file's header runs to its last ';', so no value may hold one
  std::int32_t tipRow;  // the header row that describes a field: its column's tool tip
  std::span<const WidthSpan> widths;  // fields not listed start at width 0

  // The row of a code; nullptr for 0 and any code that names no kind.
  static constexpr const FileKind* find(GlobalShared::FileType code);
  // The same, but the unit row for a code without a kind: a store without a kind holds no
  // records, so only its header-row count and name field need a value.
  static constexpr const FileKind& of(GlobalShared::FileType code);
  // The kind whose start the text has; 0 for none.
  static constexpr GlobalShared::FileType detect(std::string_view text);
  static constexpr std::span<const FileKind> all();

  // "[Unit_Prod11]" and the like; empty for a code without a kind.
  static std::string sectionName(GlobalShared::FileType code) {
    const FileKind* kind = find(code);
    return kind ? "[" + std::string(kind->section) + "]" : std::string();
  }
  // The stem followed by "bak" or "txt"; just the extension for a code without a kind.
  static std::string defaultFileName(GlobalShared::FileType code, bool backup) {
    const FileKind* kind = find(code);
    return (kind ? std::string(kind->stem) : std::string()) + (backup ? "bak" : "txt");
  }

  constexpr std::int32_t defaultWidth(std::int32_t field) const {
    for (const WidthSpan& span : widths)
      if (span.fields.holds(field)) return span.width;
    return 0;
  }
  constexpr FieldSpan defaultRange(std::int32_t range) const {
    return range == packedRange ? packed : FieldSpan{1, noFields};
  }
  // The header rows' count: the records before the first unit.
  constexpr std::int32_t headerRows() const { return firstUnit - 1; }
};

namespace FileKinds {

inline constexpr std::int32_t kWidest = FileKind::kWidestWidth;

inline constexpr WidthSpan kUnitWidths[] = {
    {670, {3, 9}}, {670, {14, 14}}, {670, {16, 16}}, {670, {19, 19}}, {670, {21, 21}}, {670, {44, 44}},
    {670, {47, 47}}, {670, {56, 56}}, {670, {59, 64}}, {670, {69, 69}},
    {1870, {2, 2}}, {1870, {10, 10}}, {1870, {12, 13}}, {1870, {20, 20}}, {1870, {22, 24}}, {1870, {26, 31}},
    {1870, {37, 42}}, {1870, {57, 58}}, {1870, {70, 71}},
    {2175, {1, 1}}, {2175, {68, 68}},
    {3600, {25, 25}}, {3600, {32, 36}}, {3600, {52, 52}}, {3600, {54, 54}}, {3600, {65, 65}},
    {4800, {45, 45}}, {4800, {55, 55}}, {5400, {43, 43}}, {5400, {48, 48}}, {6000, {17, 18}}, {6800, {66, 67}},
    {7200, {46, 46}}, {9000, {51, 51}}, {11000, {49, 49}},
    {kWidest, {11, 11}}, {kWidest, {15, 15}}, {kWidest, {50, 50}}, {kWidest, {53, 53}},
};
inline constexpr WidthSpan kBuildingWidths[] = {
    {670, {1, 1}}, {670, {12, 12}}, {670, {14, 14}}, {670, {16, 16}}, {670, {22, 22}}, {670, {26, 26}},
    {1500, {19, 19}}, {1870, {13, 13}}, {1870, {18, 18}}, {1870, {23, 25}}, {1870, {28, 28}}, {2200, {2, 2}},
    {2800, {21, 21}}, {3600, {4, 6}}, {3600, {15, 15}}, {5000, {27, 27}}, {6000, {8, 9}}, {6000, {20, 20}},
    {6800, {3, 3}}, {7800, {17, 17}}, {kWidest, {7, 7}}, {kWidest, {10, 11}},
};
inline constexpr WidthSpan kProjectileWidths[] = {
    {800, {2, 18}}, {800, {21, 29}}, {800, {35, 38}}, {1870, {1, 1}}, {1870, {20, 20}}, {1870, {30, 34}},
    {2700, {19, 19}},
};

// Ordered by code, from 1.
inline constexpr FileKind kRows[] = {
    {GlobalShared::kUnitProd, "Unit_Prod11", "crusaders_unit_prod11.", "name", 71, 5, 1, {22, 43}, 2, false, 3,
     kUnitWidths},
    {GlobalShared::kBuildProd, "Build_prod13", "crusader_build_prod13.", "numb", 28, 5, 2, {}, 0, false, 2,
     kBuildingWidths},
    {GlobalShared::kProjectileStats, "ProjectileStats", "ProjectileStats.", "ver ", 38, 2, 1, {}, 0, true, 1,
     kProjectileWidths},
};

inline constexpr const FileKind& kUnits = kRows[0];
inline constexpr std::size_t kCount = std::size(kRows);

}  // namespace FileKinds

constexpr std::span<const FileKind> FileKind::all() { return FileKinds::kRows; }

constexpr const FileKind* FileKind::find(GlobalShared::FileType code) {
  for (const FileKind& kind : all())
    if (kind.code == code) return &kind;
  return nullptr;
}

constexpr const FileKind& FileKind::of(GlobalShared::FileType code) {
  const FileKind* kind = find(code);
  return kind ? *kind : FileKinds::kUnits;
}

constexpr GlobalShared::FileType FileKind::detect(std::string_view text) {
  for (const FileKind& kind : all()) {
    if (text.size() < kind.startKey.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < kind.startKey.size(); ++i) {
      const char c = text[i];
      same = same && (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == kind.startKey[i];
    }
    if (same) return kind.code;
  }
  return 0;
}
