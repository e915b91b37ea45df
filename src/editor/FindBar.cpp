#include "FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

namespace {

QToolButton* button(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* made = new QToolButton(parent);
  made->setObjectName(QLatin1String(name));
  made->setText(text);
  made->setToolTip(hint);
  made->setAutoRaise(true);
  return made;
}

}  // namespace

FindBar::FindBar(QWidget* parent)
    : QFrame(parent),
      mText(new QLineEdit(this)),
      mAllValues(new QCheckBox(QStringLiteral("All values"), this)),
      mNote(new QLabel(this)) {
  setObjectName(QStringLiteral("FindBar"));
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  mText->setObjectName(QStringLiteral("txtFind"));
  mText->setPlaceholderText(QStringLiteral("Find a unit"));
  mText->setClearButtonEnabled(true);
  mAllValues->setObjectName(QStringLiteral("chkFindAllValues"));
  mAllValues->setToolTip(QStringLiteral("Search every value of the fields the selected range shows"));
  mNote->setObjectName(QStringLiteral("lblFindNote"));
  // As wide as the longest note, so that a note does not move the bar's controls.
  mNote->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Wrapped to the first unit")));
  auto* previous = button(this, "cmdFindPrevious", QStringLiteral("\u25B2"), QStringLiteral("Previous match (Shift+F3)"));
  auto* next = button(this, "cmdFindNext", QStringLiteral("\u25BC"), QStringLiteral("Next match (Enter, F3)"));
  auto* close = button(this, "cmdFindClose", QStringLiteral("\u2715"), QStringLiteral("Close (Escape)"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 2, 2);
  layout->setSpacing(4);
  layout->addWidget(mText, 1);
  layout->addWidget(mAllValues);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(mNote);
  layout->addWidget(close);
  connect(mText, &QLineEdit::textEdited, this, [this] { emit findRequested(0); });
  connect(mAllValues, &QCheckBox::toggled, this, [this] { emit findRequested(0); });
  connect(mText, &QLineEdit::returnPressed, this, [this] { emit findRequested(1); });
  connect(next, &QToolButton::clicked, this, [this] { emit findRequested(1); });
  connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(-1); });
  connect(close, &QToolButton::clicked, this, &QWidget::hide);
  auto* escape = new QShortcut(Qt::Key_Escape, this);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

QString FindBar::text() const { return mText->text(); }

bool FindBar::allValues() const { return mAllValues->isChecked(); }

void FindBar::setNote(const QString& note) { mNote->setText(note); }

void FindBar::showForSearch() {
  show();
  raise();
  mText->setFocus(Qt::ShortcutFocusReason);
  mText->selectAll();
}
