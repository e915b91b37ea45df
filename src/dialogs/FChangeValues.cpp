#include "FChangeValues.h"

#include "Counted.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CRecordData.h"
#include "CodePage.h"

FChangeValues::FChangeValues(const CRecordData& record, ChangeTargets targets, QWidget* parent)
    : QDialog(parent), mRecord(record), mTargets(std::move(targets)) {
  setObjectName(QStringLiteral("FChangeValues"));
  setWindowTitle(QStringLiteral("Change Values"));
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(QStringLiteral("&Expression: =5, +5, -5, *1.2, /2, +10% or -10%"), this);
  txtExpression = new QLineEdit(this);
  txtExpression->setObjectName(QStringLiteral("txtExpression"));
  prompt->setBuddy(txtExpression);
  lblPreview = new QLabel(this);
  lblPreview->setObjectName(QStringLiteral("lblPreview"));
  lblPreview->setTextFormat(Qt::PlainText);
  lblPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Room for the preview's every line: the dialog must not jump as the expression is typed.
  lblPreview->setMinimumHeight(fontMetrics().lineSpacing() * (kPreviewLines + 2));
  lblPreview->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
  mButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  mButtons->setObjectName(QStringLiteral("buttons"));
  layout->addWidget(prompt);
  layout->addWidget(txtExpression);
  layout->addWidget(lblPreview);
  layout->addWidget(mButtons);
  connect(mButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(mButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(txtExpression, &QLineEdit::textChanged, this, &FChangeValues::preview);
  preview();
}

void FChangeValues::preview() {
  mChange.reset();
  const std::string expression = CodePage::fromQString(txtExpression->text());
  const auto change = ValueChange::parse(expression);
  QString text;
  if (txtExpression->text().trimmed().isEmpty()) {
    text = QStringLiteral("Type an expression; Enter applies it.");
  } else if (!change) {
    text = CodePage::toQString(ValueChange::errorText(change.error()));
  } else if (auto result = changeValues(mRecord, *change, mTargets); !result) {
    const ChangeTooLarge& error = result.error();
    text = QStringLiteral("The result for %1 (%2, field %3) is too large: nothing can change.")
               .arg(CodePage::toQString(error.value), CodePage::toQString(mRecord.unitName(error.record)))
               .arg(error.field);
  } else {
    mChange = std::move(*result);
    text = describe(*mChange);
  }
  lblPreview->setText(text);
  mButtons->button(QDialogButtonBox::Ok)->setEnabled(mChange && !mChange->cells.empty());
}

QString FChangeValues::describe(const BlockChange& change) const {
  const auto count = Counted::of;
  QString text = count(change.changed, "value changes", "values change");
  if (change.unchanged > 0) text += QStringLiteral(", ") + count(change.unchanged, "stays", "stay") + QStringLiteral(" the same");
  if (change.skipped > 0) text += QStringLiteral(", ") + count(change.skipped, "skipped", "skipped") + QStringLiteral(" (not numbers)");
  int lines = 0;
  for (const CellChanges::Cell& cell : change.cells) {
    if (lines++ == kPreviewLines) {
      text += QStringLiteral("\n…");
      break;
    }
    text += QLatin1Char('\n') + CodePage::toQString(mRecord.unitName(cell.record)) + QStringLiteral(": ") +
            CodePage::toQString(cell.before) + QStringLiteral(" → ") + CodePage::toQString(cell.after);
  }
  return text;
}
