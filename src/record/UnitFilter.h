#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "FindSearch.h"

class CRecordData;

// The units "Only matching units" keeps: those a find with the request would stop at. Kept by
// the window across keys typed, as it holds the names of the loaded units in one buffer, made at
// the first call after a load: a key typed then searches that buffer, not the whole file.
class UnitFilter {
 public:
  // The data units from request.firstUnit, in file order, whose name (request.nameField) holds
  // request.text, or with request.allValues any value of the selected range's fields; every
  // unit for an empty text. Edited values count as the store holds them now. The filter picks
  // among every unit: request.view, record and column are not looked at.
  std::vector<std::int32_t> matching(const CRecordData& store, const FindSearch::Request& request);

 private:
  void index(const CRecordData& store, const FindSearch::Request& request);
  std::vector<std::int32_t> byName(const CRecordData& store, const FindSearch::Matcher& search, const std::string& text) const;

  // The names as loaded, one after the other; name k (record mFirstUnit + k) is
  // mNames[mStarts[k], mStarts[k + 1]).
  std::string mNames;
  std::vector<std::uint64_t> mStarts;
  std::uint64_t mLoadId = 0;  // of the store the names are from; 0: none yet
  std::int32_t mFirstUnit = 0;
  std::int32_t mNameField = 0;
};
