#pragma once
#include <QAbstractScrollArea>
#include <QString>
#include <QTextLayout>

// A column header: read-only, word-wrapped text with a vertical scroll bar. A plain text edit
// does the same at several times the cost of each new text, and a horizontal page step gives
// every header a new text.
class HeaderBox : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit HeaderBox(QWidget* parent);

  QString toPlainText() const { return mText; }
  void setPlainText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOut();

  QString mText;
  QTextLayout mLayout;
  int mLineHeight = 1;
};
