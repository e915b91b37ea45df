#pragma once
#include <QFrame>
#include <QString>
#include <QWidget>
#include <vector>

#include "MergeComparison.h"

// One cell of the grid: a light widget whose text the grid frame paints. The pool holds over a
// thousand cells; a text box each, or even a paint event each, would make every page step
// several times slower, so the cell itself paints nothing.
class GridCell : public QWidget {
  Q_OBJECT

 public:
  explicit GridCell(QWidget* parent);

  const QString& text() const { return mText; }
  void setText(const QString& text);

  // The hint shown as the tool tip, kept so that a temporary hint can be put back.
  const QString& tag() const { return mTag; }
  void setTag(const QString& tag) { mTag = tag; }

  // Why the cell's value cannot be saved as it is; empty when it can. A marked cell has a red
  // frame.
  const QString& mark() const { return mMark; }
  void setMark(const QString& mark);

  // A cell whose value differs from what the file is compared with is tinted by how it differs,
  // and its hint says so (the default value, the other file's).
  bool differs() const { return mDifference != Difference::None; }
  Difference difference() const { return mDifference; }
  void setDifference(Difference difference, const QString& hintLine = {});

  // A value that is no number where the other units hold numbers: underlined in amber. It saves.
  bool textAmongNumbers() const { return mTextAmongNumbers; }
  void setTextAmongNumbers(bool text);
  // A cell inside the grid's selected block is tinted with the selection colour.
  bool selected() const { return mSelected; }
  void setSelected(bool selected);

  // The tool tip: why the value cannot be saved, or the tag and the default value.
  QString hint() const;

 private:
  QString mText;
  QString mTag;
  QString mMark;
  QString mDifferenceLine;
  Difference mDifference = Difference::None;
  bool mTextAmongNumbers = false;
  bool mSelected = false;
};

// As much of a text as a box of this size can show word-wrapped: a value may run to 39,998
// characters, and laying all of them out at every paint made typing in a long value slow.
QString paintedPart(const QString& text, QSize box);

// The background of a cell whose value differs from the default copy: the colour it would have,
// tinted, so that it stays readable focused or not.
QColor differenceTint(const QColor& background, Difference difference = Difference::Differs);

// The underline of a text where the other units hold numbers: dark amber reads on every
// background a cell has, plain, focused, tinted or selected.
inline QColor numberMarkColour() { return QColor(200, 120, 0); }
// The background of a selected cell, its text in the highlighted text's colour: the platform's
// highlight, darker where the value differs from the default copy (a light tint would not show
// on it).
QColor selectionColour(const QColor& highlight, bool differs);
// The same for a value of a three-way merge, its class tinted in.
QColor selectionColour(const QColor& highlight, Difference difference);

class CellLayer;

// The frame that holds the grid's headers and cells. The cells are painted in one pass by a
// layer beneath them, which starts below the headers: text drawn under a clip that is not a
// plain rectangle is several times slower.
class GridFrame : public QFrame {
  Q_OBJECT

 public:
  explicit GridFrame(QWidget* parent);
  // The cells, made once; the layer starts at the top of the first.
  void setCells(const std::vector<GridCell*>* cells);

  // While a page is refilled, changed cells are not repainted one by one: the layer repaints
  // once at the end.
  void beginRefill() { mRefilling = true; }
  void endRefill();
  void cellChanged(const GridCell* cell);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  CellLayer* mLayer;
  bool mRefilling = false;
};
