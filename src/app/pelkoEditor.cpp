#include <QApplication>

#include "FEditor.h"
#include "PlatformQt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("PelkoEditor"));
  PlatformQt::install();
  FEditor editor;
  PlatformQt::closeOnTermination(editor);
  editor.show();
  return QApplication::exec();
}
