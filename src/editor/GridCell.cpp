#include "GridCell.h"

#include <QCache>
#include <QHashFunctions>
#include <QPaintEvent>
#include <QPixmap>
#include <QPainter>

namespace {
constexpr qsizetype kMaxKeptImageBytes = 64 << 20;
constexpr int kTextMarginX = 3;
constexpr int kTextMarginY = 1;

// What a cell's picture depends on. The text is shared, not copied: a page shows over a thousand
// cells, and a key built as one string cost an allocation or five for each.
struct ImageKey {
  QSize size;
  QRgb background;
  QRgb foreground;
  bool marked;
  bool textAmongNumbers;
  QString text;
  bool operator==(const ImageKey&) const = default;
};

size_t qHash(const ImageKey& key, size_t seed = 0) {
  return qHashMulti(seed, key.size.width(), key.size.height(), key.background, key.foreground, key.marked,
                    key.textAmongNumbers, key.text);
}
}  // namespace

GridCell::GridCell(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setBackgroundRole(QPalette::Base);
}

void GridCell::setText(const QString& text) {
  if (text == mText) return;
  mText = text;
  if (auto* frame = qobject_cast<GridFrame*>(parentWidget())) frame->cellChanged(this);
}

void GridCell::setMark(const QString& mark) {
  if (mark == mMark) return;
  mMark = mark;
  if (auto* frame = qobject_cast<GridFrame*>(parentWidget())) frame->cellChanged(this);
}

void GridCell::setDifference(Difference difference, const QString& hintLine) {
  mDifferenceLine = hintLine;
  if (difference == mDifference) return;
  mDifference = difference;
  if (auto* frame = qobject_cast<GridFrame*>(parentWidget())) frame->cellChanged(this);
}

void GridCell::setTextAmongNumbers(bool text) {
  if (text == mTextAmongNumbers) return;
  mTextAmongNumbers = text;
  if (auto* frame = qobject_cast<GridFrame*>(parentWidget())) frame->cellChanged(this);
}

void GridCell::setSelected(bool selected) {
  if (selected == mSelected) return;
  mSelected = selected;
  if (auto* frame = qobject_cast<GridFrame*>(parentWidget())) frame->cellChanged(this);
}

QString GridCell::hint() const {
  if (!mMark.isEmpty()) return mMark;
  QString hint = mTag;
  const auto line = [&hint](const QString& text) { hint += (hint.isEmpty() ? QString() : QStringLiteral("\n")) + text; };
  if (mTextAmongNumbers) line(QStringLiteral("The other units hold numbers in this field."));
  if (differs()) line(mDifferenceLine);
  return hint;
}

QString paintedPart(const QString& text, QSize box) {
  // No glyph of a readable font is narrower than 2 pixels nor a line lower than 8.
  const qsizetype perLine = box.width() / 2 + 1, lines = box.height() / 8 + 1;
  return text.size() <= perLine * lines ? text : text.first(perLine * lines);
}

namespace {

QColor mixed(const QColor& background, const QColor& tint, double share) {
  const auto mix = [&](int from, int to) { return static_cast<int>(from * (1 - share) + to * share + 0.5); };
  return QColor(mix(background.red(), tint.red()), mix(background.green(), tint.green()), mix(background.blue(), tint.blue()));
}

// Blue for a value changed here (as against the default copy), green for one to take, purple for
// the same change in both, red for a conflict.
QColor tintOf(Difference difference) {
  switch (difference) {
    case Difference::CanTake: return QColor(0, 190, 80);
    case Difference::Same: return QColor(160, 80, 255);
    case Difference::Conflict: return QColor(255, 40, 40);
    default: return QColor(0, 150, 255);
  }
}

}  // namespace

QColor differenceTint(const QColor& background, Difference difference) { return mixed(background, tintOf(difference), 0.3); }

QColor selectionColour(const QColor& highlight, bool differs) { return differs ? highlight.darker(130) : highlight; }

QColor selectionColour(const QColor& highlight, Difference difference) {
  const QColor dark = selectionColour(highlight, difference != Difference::None);
  const bool merged = difference == Difference::CanTake || difference == Difference::Same || difference == Difference::Conflict;
  return merged ? mixed(dark, tintOf(difference), 0.35) : dark;
}

class CellLayer : public QWidget {
 public:
  explicit CellLayer(QWidget* parent) : QWidget(parent), mImages(kMaxKeptImageBytes) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  const std::vector<GridCell*>* cells = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QPixmap& image(const GridCell& cell);

  // Paging by one row or column shows mostly cells of the page before: drawing a kept image of
  // a cell is many times cheaper than drawing its text again.
  QCache<ImageKey, QPixmap> mImages;
};

const QPixmap& CellLayer::image(const GridCell& cell) {
  const QSize size = cell.size();
  const QPalette& colours = cell.palette();
  const QColor own = colours.color(cell.backgroundRole());
  const QColor background = cell.selected() ? selectionColour(colours.color(QPalette::Highlight), cell.difference())
                            : cell.differs() ? differenceTint(own, cell.difference())
                                             : own;
  const QColor foreground = colours.color(cell.selected() ? QPalette::HighlightedText : cell.foregroundRole());
  const ImageKey key{size, background.rgba(), foreground.rgba(), !cell.mark().isEmpty(), cell.textAmongNumbers(),
                     cell.text()};
  if (const QPixmap* kept = mImages.object(key)) return *kept;
  const qreal ratio = devicePixelRatioF();
  auto* pixmap = new QPixmap(size * ratio);
  pixmap->setDevicePixelRatio(ratio);
  QPainter painter(pixmap);
  const bool marked = !cell.mark().isEmpty();
  painter.fillRect(QRect(QPoint(), size), marked ? QColor(Qt::red) : colours.color(QPalette::Mid));  // the border
  const int border = marked ? 2 : 1;
  painter.fillRect(QRect(QPoint(border, border), size - QSize(2 * border, 2 * border)), background);
  if (cell.textAmongNumbers()) {
    painter.setPen(QPen(numberMarkColour(), 2, Qt::DotLine));
    const int bottom = size.height() - border - 2;
    painter.drawLine(border + 1, bottom, size.width() - border - 2, bottom);
  }
  QString text = paintedPart(cell.text(), size);
  text.remove(QLatin1Char('\r'));  // a CR LF in a value is one line break
  painter.setFont(font());
  painter.setPen(foreground);
  painter.drawText(QRect(QPoint(kTextMarginX, kTextMarginY), size - QSize(2 * kTextMarginX, 2 * kTextMarginY)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
  painter.end();
  const QPixmap* kept = pixmap;
  mImages.insert(key, pixmap, static_cast<qsizetype>(pixmap->width()) * pixmap->height() * 4);
  return *kept;
}

void CellLayer::paintEvent(QPaintEvent* event) {
  if (!cells) return;
  QPainter painter(this);
  const QRect exposed = event->rect().translated(0, y());
  for (const GridCell* cell : *cells)
    if (!cell->isHidden() && cell->geometry().intersects(exposed))
      painter.drawPixmap(cell->geometry().topLeft() - QPoint(0, y()), image(*cell));
}

GridFrame::GridFrame(QWidget* parent) : QFrame(parent), mLayer(new CellLayer(this)) { mLayer->lower(); }

void GridFrame::setCells(const std::vector<GridCell*>* cells) {
  mLayer->cells = cells;
  mLayer->setGeometry(0, cells->empty() ? 0 : cells->front()->y(), width(), height());
  mLayer->lower();
}

void GridFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  mLayer->resize(width(), std::max(0, height() - mLayer->y()));
}

void GridFrame::cellChanged(const GridCell* cell) {
  if (!mRefilling) mLayer->update(cell->geometry().translated(0, -mLayer->y()));
}

void GridFrame::endRefill() {
  mRefilling = false;
  mLayer->update();
}
