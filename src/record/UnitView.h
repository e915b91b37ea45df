#pragma once
#include <cstdint>
#include <vector>

// Which data units the grid shows, and in which order: every unit in file order, or the units a
// filter kept, perhaps sorted. Rows are numbered as records are, from the kind's first data unit,
// so that with every unit shown row r shows record r. The file's own order is never touched: a
// row only says which record it shows.
class UnitView {
 public:
  // Every unit of a store of noUnits records, its data from record firstUnit, in file order.
  void showAll(std::int32_t firstUnit, std::int32_t noUnits);
  static UnitView every(std::int32_t firstUnit, std::int32_t noUnits) {
    UnitView view;
    view.showAll(firstUnit, noUnits);
    return view;
  }
  // Only these data records, each once, in the order given.
  void showOnly(std::int32_t firstUnit, std::vector<std::int32_t> records);

  bool showsAll() const { return mAll; }
  std::int32_t firstRow() const { return mFirstUnit; }
  std::int32_t lastRow() const { return mFirstUnit + mShown - 1; }
  std::int32_t shownUnits() const { return mShown; }
  // Rows before firstRow() are header rows, shown as themselves.
  std::int32_t record(std::int32_t row) const {
    return mAll || row < mFirstUnit ? row : mRecords[static_cast<std::size_t>(row - mFirstUnit)];
  }
  // The row that shows the record; 0 when none does.
  std::int32_t rowOf(std::int32_t record) const;
  // The records rows firstRow..lastRow show, data rows only, in the order shown.
  std::vector<std::int32_t> records(std::int32_t firstRow, std::int32_t lastRow) const;

 private:
  bool mAll = true;
  std::int32_t mFirstUnit = 1;
  std::int32_t mShown = 0;
  std::vector<std::int32_t> mRecords;  // by row, from firstRow(); empty while every unit shows
  std::vector<std::int32_t> mRows;     // by record: its row, 0 for none
};
