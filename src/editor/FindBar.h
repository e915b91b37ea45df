#pragma once
#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;

// The find bar of Ctrl+F, over the top right of the window: searches the unit names, or every
// value of the shown fields, as the user types; Enter and F3 go to the next match, Shift+F3 to
// the one before, Escape closes it.
class FindBar : public QFrame {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent);

  QString text() const;
  bool allValues() const;
  void setNote(const QString& note);
  // Shows the bar with its text selected, ready for a new search.
  void showForSearch();

 signals:
  // step: 0 while typing (a match at the current place counts), 1 the next, -1 the one before.
  void findRequested(int step);

 private:
  QLineEdit* mText;
  QCheckBox* mAllValues;
  QLabel* mNote;
};
