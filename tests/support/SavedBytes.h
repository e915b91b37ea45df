#pragma once
#include <QByteArray>
#include <QTemporaryDir>

#include "CRecordData.h"
#include "DataFile.h"

// The bytes a save of the store as a file of the kind writes; "save failed" when it fails.
inline QByteArray saved(CRecordData& record, int kind) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("out.txt").toStdString();
  if (!DataFile::writeDataFile(record, kind, path)) return "save failed";
  return QByteArray::fromStdString(DataFile::readText(path).value_or(""));
}
