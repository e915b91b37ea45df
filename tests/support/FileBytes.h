#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes as they stand on disk; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
