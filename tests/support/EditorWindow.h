#pragma once
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FEditor.h"
#include "ModalAnswerer.h"
#include "Platform.h"

// A path as the window's texts show it: on Windows, whose file names ignore case, in lower case and
// with backslashes, as its editor showed them.
inline QString asShown(const QString& path) {
#ifdef Q_OS_WIN
  return QDir::toNativeSeparators(path).toLower();
#else
  return path;
#endif
}

// A fresh, active editor window for each test, with a program folder (and so settings) and a
// state folder (and so journals of unsaved edits) of its own on a 1920 x 1080 screen. A dialog
// that no answerer of the test expects fails the test.
class EditorWindow {
 public:
  FEditor* open() {
    mGuard = std::make_unique<ModalAnswerer>();
    mFolder = std::make_unique<QTemporaryDir>();
    Platform::setProgramFolder(mFolder->path().toStdString());
    Platform::setScreenTwips({28800, 16200});
#ifdef Q_OS_WIN
    qputenv("LOCALAPPDATA", path(QStringLiteral("state")).toLocal8Bit());
    // The tests answer Qt's own file dialog; Windows' would wait for a hand.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#else
    qputenv("XDG_STATE_HOME", path(QStringLiteral("state")).toLocal8Bit());
#endif
    return show();
  }
  // Another window in place of this one, on the same folders; the old one goes as a killed
  // program's would, its journal left behind.
  FEditor* restart() {
    mWindow.reset();
    return show();
  }
  void close() {
    mGuard.reset();
    mWindow.reset();
    mFolder.reset();
  }
  QString path(const QString& name) const { return mFolder->filePath(name); }
  // The folder of the journals.
  QString journals() const { return path(QStringLiteral("state/pelkoEditor")); }

 private:
  FEditor* show() {
    mWindow = std::make_unique<FEditor>();
    mWindow->show();
    mWindow->activateWindow();
    if (!QTest::qWaitForWindowActive(mWindow.get())) qWarning("the editor window did not become active");
    return mWindow.get();
  }

  std::unique_ptr<ModalAnswerer> mGuard;
  std::unique_ptr<QTemporaryDir> mFolder;
  std::unique_ptr<FEditor> mWindow;
};
