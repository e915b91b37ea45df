#include "FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* button(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* made = new QToolButton(parent);
  made->setObjectName(QLatin1String(name));
  made->setText(text);
  made->setToolTip(hint);
  made->setAutoRaise(true);
  return made;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& placeholder) {
  auto* made = new QLineEdit(parent);
  made->setObjectName(QLatin1String(name));
  made->setPlaceholderText(placeholder);
  made->setClearButtonEnabled(true);
  return made;
}

QCheckBox* option(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* made = new QCheckBox(text, parent);
  made->setObjectName(QLatin1String(name));
  made->setToolTip(hint);
  return made;
}

}  // namespace

FindBar::FindBar(QWidget* parent)
    : QFrame(parent),
      mText(textBox(this, "txtFind", QStringLiteral("Find a unit"))),
      mAllValues(option(this, "chkFindAllValues", QStringLiteral("All values"),
                        QStringLiteral("Search every value of the fields the selected range shows"))),
      mOnlyMatching(option(this, "chkOnlyMatching", QStringLiteral("&Only matching units"),
                           QStringLiteral("Show only the units that match (Alt+O)"))),
      mNote(new QLabel(this)),
      mReplaceRow(new QWidget(this)),
      mReplacement(textBox(mReplaceRow, "txtReplace", QStringLiteral("Replace with"))),
      mMatchCase(option(mReplaceRow, "chkMatchCase", QStringLiteral("Match case"),
                        QStringLiteral("Letter case must match too"))),
      mWholeValue(option(mReplaceRow, "chkWholeValue", QStringLiteral("Whole value"),
                         QStringLiteral("Only values that are the whole text match"))) {
  setObjectName(QStringLiteral("FindBar"));
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  mNote->setObjectName(QStringLiteral("lblFindNote"));
  // As wide as the longest note, so that a note does not move the bar's controls.
  mNote->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Wrapped to the first unit")));
  auto* previous = button(this, "cmdFindPrevious", QStringLiteral("\u25B2"), QStringLiteral("Previous match (Shift+F3)"));
  auto* next = button(this, "cmdFindNext", QStringLiteral("\u25BC"), QStringLiteral("Next match (Enter, F3)"));
  auto* close = button(this, "cmdFindClose", QStringLiteral("\u2715"), QStringLiteral("Close (Escape)"));
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(4, 2, 2, 2);
  rows->setSpacing(2);
  auto* layout = new QHBoxLayout;
  layout->setSpacing(4);
  rows->addLayout(layout);
  rows->addWidget(mReplaceRow);
  layout->addWidget(mText, 1);
  layout->addWidget(mAllValues);
  layout->addWidget(mOnlyMatching);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(mNote);
  layout->addWidget(close);
  connect(mText, &QLineEdit::textEdited, this, [this] { emit findRequested(0); });
  connect(mAllValues, &QCheckBox::toggled, this, [this] { emit findRequested(0); });
  connect(mOnlyMatching, &QCheckBox::toggled, this, &FindBar::filterChanged);
  mOnlyMatching->installEventFilter(this);
  connect(mText, &QLineEdit::returnPressed, this, [this] { emit findRequested(1); });
  connect(next, &QToolButton::clicked, this, [this] { emit findRequested(1); });
  connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(-1); });
  connect(close, &QToolButton::clicked, this, &QWidget::hide);
  createReplaceRow();
  auto* escape = new QShortcut(Qt::Key_Escape, this);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

QString FindBar::text() const { return mText->text(); }

bool FindBar::allValues() const { return mAllValues->isChecked(); }

bool FindBar::onlyMatching() const { return isVisible() && mOnlyMatching->isChecked(); }

void FindBar::hideEvent(QHideEvent* event) {
  QFrame::hideEvent(event);
  if (mOnlyMatching->isChecked()) emit filterChanged();
}

void FindBar::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  if (mOnlyMatching->isChecked()) emit filterChanged();
}

bool FindBar::matchCase() const { return mReplaceRow->isVisibleTo(this) && mMatchCase->isChecked(); }

bool FindBar::wholeValue() const { return mReplaceRow->isVisibleTo(this) && mWholeValue->isChecked(); }

QString FindBar::replacement() const { return mReplacement->text(); }

QString FindBar::note() const { return mNote->text(); }

void FindBar::setNote(const QString& note) { mNote->setText(note); }

void FindBar::showForSearch() { showWithText(false); }

void FindBar::showForReplace() { showWithText(true); }

void FindBar::showWithText(bool replacing) {
  mReplaceRow->setVisible(replacing);
  show();
  raise();
  mText->setFocus(Qt::ShortcutFocusReason);
  mText->selectAll();
}

// Below the find row: what replaces a match, the options and the two buttons. Tab goes from the
// find box to the replace box.
void FindBar::createReplaceRow() {
  auto* replace = new QPushButton(QStringLiteral("&Replace"), mReplaceRow);
  replace->setObjectName(QStringLiteral("cmdReplace"));
  replace->setToolTip(QStringLiteral("Replace this match and go to the next (Alt+R)"));
  auto* all = new QPushButton(QStringLiteral("Replace &All"), mReplaceRow);
  all->setObjectName(QStringLiteral("cmdReplaceAll"));
  all->setToolTip(QStringLiteral("Replace every match in the selected block, or else in all units (Alt+A)"));
  for (QPushButton* button : {replace, all}) {
    button->setAutoDefault(false);
    button->installEventFilter(this);
  }
  auto* layout = new QHBoxLayout(mReplaceRow);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(mReplacement, 1);
  layout->addWidget(mMatchCase);
  layout->addWidget(mWholeValue);
  layout->addWidget(replace);
  layout->addWidget(all);
  setTabOrder(mText, mReplacement);
  for (QCheckBox* box : {mMatchCase, mWholeValue})
    connect(box, &QCheckBox::toggled, this, [this] { emit findRequested(0); });
  connect(mReplacement, &QLineEdit::returnPressed, this, [this] { emit replaceRequested(false); });
  connect(replace, &QPushButton::clicked, this, [this] { emit replaceRequested(false); });
  connect(all, &QPushButton::clicked, this, [this] { emit replaceRequested(true); });
  mReplaceRow->hide();
}

// An access key clicks its button at once, where a button's own waits a moment to show it going
// down: a key typed right after Alt+A (Ctrl+S, say) must find the values replaced, and one after
// Alt+O goes on typing in the find box among the units kept.
bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (!button || event->type() != QEvent::Shortcut || static_cast<QShortcutEvent*>(event)->isAmbiguous())
    return QFrame::eventFilter(watched, event);
  button->click();
  return true;
}
