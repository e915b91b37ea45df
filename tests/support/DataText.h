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

// A file of the kind: its header rows, then unit lines named "r<k>f<field>", then the given lines.
inline QByteArray dataFile(int kind, int units, const QByteArray& unitLines = {}) {
  const int fields = kind == 1 ? 71 : kind == 2 ? 28 : 38;
  QByteArray text = kind == 3 ? "ver 1;" : "";
  for (int h = 1; h <= (kind == 3 ? 1 : 4); ++h) {
    const QByteArray prefix = "h" + QByteArray::number(h) + "f";
    text += kind == 1 ? unitRecord("troop" + QByteArray::number(h), prefix) : record(fields, prefix);
  }
  for (int u = 1; u <= units; ++u) {
    const QByteArray prefix = "r" + QByteArray::number(u) + "f";
    text += kind == 1 ? unitRecord(troopList(), prefix) : record(fields, prefix);
  }
  return text + unitLines + "\r\n\r\n";
}

}  // namespace DataText
