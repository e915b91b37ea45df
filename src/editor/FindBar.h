#pragma once
#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// The find bar of Ctrl+F, over the top right of the window: searches the unit names, or every
// value of the shown fields, as the user types; Enter and F3 go to the next match, Shift+F3 to
// the one before, Escape closes it. Ctrl+H shows it with a second row, which replaces matches.
class FindBar : public QFrame {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent);

  QString text() const;
  bool allValues() const;
  // "Only matching units": while the bar shows, the grid shows only the units it matches.
  bool onlyMatching() const;
  // The replace row's options; off while it is hidden, so that Ctrl+F finds as it always did.
  bool matchCase() const;
  bool wholeValue() const;
  QString replacement() const;
  QString note() const;
  void setNote(const QString& note);
  // Shows the bar with its text selected, ready for a new search; the replace row hidden.
  void showForSearch();
  // The same with the replace row.
  void showForReplace();

 signals:
  // step: 0 while typing (a match at the current place counts), 1 the next, -1 the one before.
  void findRequested(int step);
  // all: every match, else the current one.
  void replaceRequested(bool all);
  // Whether the bar keeps only matching units changed: its option, or the bar shown or hidden.
  void filterChanged();

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void createReplaceRow();
  void showWithText(bool replacing);

  QLineEdit* mText;
  QCheckBox* mAllValues;
  QCheckBox* mOnlyMatching;
  QLabel* mNote;
  QWidget* mReplaceRow;
  QLineEdit* mReplacement;
  QCheckBox* mMatchCase;
  QCheckBox* mWholeValue;
};
