// The start-up yardstick: the least a Qt Widgets program does before its first window shows.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.resize(800, 600);
  window.show();
  return app.exec();
}
