#pragma once
#include <QString>
#include <QWidget>

// One cell of the grid: a light widget that paints its own word-wrapped text. The pool holds
// over a thousand of them, and a full text box each would make every page step several times
// slower.
class GridCell : public QWidget {
  Q_OBJECT

 public:
  explicit GridCell(QWidget* parent);

  const QString& text() const { return mText; }
  void setText(const QString& text);

  // The hint shown as the tool tip, kept so that a temporary hint can be put back.
  const QString& tag() const { return mTag; }
  void setTag(const QString& tag) { mTag = tag; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString mText;
  QString mTag;
};
