#pragma once
#include <QObject>
#include <string>

class QPushButton;
class QToolButton;
class QWidget;

// The recent files of the Load File button, which keeps its click and Alt+L: its context menu
// (right-click, the Menu key, Shift+F10), Alt+Down on it, the small arrow on its right edge, and
// Ctrl+R anywhere in the window. The list is read from the settings file each time it opens, so
// that windows sharing the file share the list.
class RecentFilesMenu : public QObject {
  Q_OBJECT

 public:
  RecentFilesMenu(QPushButton* loadFile, QWidget* window);

  // The menu under the Load File button; returns once it closed, after `chosen`.
  void popup();
  // A data file loaded, by any path: to the top of the list, as its absolute path.
  static void remember(const std::string& path);

 signals:
  // The entry chosen, its path as the list keeps it.
  void chosen(const std::string& path);

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void placeArrow();

  QPushButton* mLoadFile;
  QToolButton* mArrow;
};
