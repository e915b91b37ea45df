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
  // Qt has taken its own options out; what is left after the program's name is a file to open.
  if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1) editor.openLater(arguments[1]);
  return QApplication::exec();
}
