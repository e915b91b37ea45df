#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>
#include <filesystem>
#include <system_error>

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

// A symbolic link, on Windows too, where QFile::link makes a shortcut. Windows lets only an
// administrator or a developer's machine make one, and Wine makes none.
inline bool symbolicLink(const QString& target, const QString& link) {
  std::error_code error;
  std::filesystem::create_symlink(target.toStdU16String(), link.toStdU16String(), error);
  return !error;
}

// Makes the link, or ends the test: skipped on Windows when the system makes none, failed elsewhere.
#ifdef _WIN32
#define MAKE_LINK(target, link) \
  if (!symbolicLink(target, link)) QSKIP("Windows made no symbolic link: it takes a privilege, and Wine makes none")
#else
#define MAKE_LINK(target, link) QVERIFY(symbolicLink(target, link))
#endif
