#include <QApplication>

#include "FEditor.h"
#include "PlatformQt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("PelkoEditor"));
  // The layout's captions were measured in an 8-point font; larger ones would be clipped.
  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);
  PlatformQt::install();
  FEditor editor;
  editor.show();
  return QApplication::exec();
}
