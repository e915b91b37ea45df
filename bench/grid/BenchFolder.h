#pragma once
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "Platform.h"

// A fresh temporary folder that is the program folder while it lives, so that no settings of the
// user's shape the window being timed.
class BenchFolder {
 public:
  BenchFolder() { Platform::setProgramFolder(mFolder.path().toStdString()); }

  QString filePath(const QString& name) const { return mFolder.filePath(name); }

  // Writes `text` here under the name of the unit production file; its path.
  std::string writeUnitFile(const std::string& text) const {
    const std::string path = filePath(QStringLiteral("crusaders_unit_prod11.txt")).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

 private:
  QTemporaryDir mFolder;
};
