#pragma once
#include <QByteArray>
#include <QList>

// Builders of data-file text for tests.
namespace DataText {

// One record: the cells joined by TAB, ended by CR LF.
inline QByteArray record(const QList<QByteArray>& cells) { return cells.join('\t') + "\r\n"; }

// A record of n cells named prefix1, prefix2, ...
inline QByteArray record(int n, const QByteArray& prefix) {
  QList<QByteArray> cells;
  for (int i = 1; i <= n; ++i) cells << prefix + QByteArray::number(i);
  return record(cells);
}

// A unit-file line: fields 1-21, the packed cell, fields 44-71.
inline QByteArray unitRecord(const QByteArray& packedCell, const QByteArray& prefix = "u") {
  QList<QByteArray> cells;
  for (int i = 1; i <= 21; ++i) cells << prefix + QByteArray::number(i);
  cells << packedCell;
  for (int i = 44; i <= 71; ++i) cells << prefix + QByteArray::number(i);
  return record(cells);
}

// The packed cell of 22 values: "22, 23, ..., 43" with the given separator.
inline QByteArray troopList(const QByteArray& separator = ", ") {
  QList<QByteArray> values;
  for (int i = 22; i <= 43; ++i) values << QByteArray::number(i);
  return '"' + values.join(separator) + '"';
}

// Four header rows and the given unit lines.
inline QByteArray unitFile(const QList<QByteArray>& unitLines) {
  QByteArray text;
  for (int h = 1; h <= 4; ++h) text += unitRecord("Troop stats " + QByteArray::number(h), "h" + QByteArray::number(h) + "_");
  for (const QByteArray& line : unitLines) text += line;
  return text;
}

}  // namespace DataText
