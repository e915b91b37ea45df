#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes as they stand on disk; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's bytes; true when all were written.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One of the sample files of the game that the sources carry.
inline QString samplePath(const QString& name) { return qEnvironmentVariable("PELKO_SAMPLES") + QLatin1Char('/') + name; }
