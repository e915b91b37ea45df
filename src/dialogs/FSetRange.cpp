#include "FSetRange.h"

#include <QLineEdit>
#include <QPushButton>

#include "CodePage.h"
#include "Controls.h"
#include "RangeStatus.h"
#include "SettingsWindow.h"
#include "ShowMessage.h"

using namespace Controls;

namespace {

enum Button : std::int32_t { kOk = 0, kCancel = 1, kApply = 2 };
constexpr std::int32_t kNoFields = 5;  // the dialog's own: the text holds no comma

const QString kHelp =
    QStringLiteral("list the fields you want displayed in the following format:  \" 1 to 5, 7,10 to 71, \"  this would "
                   "display all but fields 6,8, and 9. Extra spaces are ignored but remember to terminate the last "
                   "field no with a comma! There is a maximum of 71 fields in any one range.") +
    QString(60, QLatin1Char(' ')) +
    QStringLiteral("note: you can have fields displayed in any order and/or duplicated, but 'x to y' input will only "
                   "generate consecutive fields.");

}  // namespace

FSetRange::FSetRange(QWidget& owner) : QDialog(&owner) {
  setObjectName(QStringLiteral("FSetRange"));
  setWindowTitle(QStringLiteral("Set user-defined range of fields to display"));
  resize(Twips::toPixels(10995), Twips::toPixels(2355));
  Frame1 = frame(this, "Frame1", 60, 0, 10935, 2355);
  Label1 = label(Frame1, "Label1", 180, 240, 10515, 675, kHelp);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  txtInputRange = make<QLineEdit>(Frame1, QStringLiteral("txtInputRange"), 180, 900, 10575, 555);
  Label2 = label(Frame1, "Label2", 180, 1560, 10575, 255,
                 QStringLiteral("enter the text you want displayed on the range selection button."));
  txtCaption2display = make<QLineEdit>(Frame1, QStringLiteral("txtCaption2display"), 180, 1800, 4515, 315);
  struct ButtonDesign {
    int left;
    const char *caption, *tip;
  };
  constexpr ButtonDesign buttons[] = {{6540, "&OK", "Save Changes And Close Dialog"},
                                      {7980, "&Cancel", "Close Dialog without saving changes"},
                                      {9420, "&Apply", "Apply Changes"}};
  for (std::size_t i = 0; i < cmdOkCancelApply.size(); ++i) {
    QPushButton* button = make<QPushButton>(Frame1, indexed("cmdOkCancelApply", i), buttons[i].left, 1800, 1335, 375);
    button->setText(QLatin1String(buttons[i].caption));
    button->setToolTip(QLatin1String(buttons[i].tip));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, i] { cmdOkCancelApply_Click(static_cast<std::int32_t>(i)); });
    cmdOkCancelApply[i] = button;
  }
  setTabOrder(txtInputRange, txtCaption2display);
}

bool FSetRange::setRangeInput(std::int32_t iRange2set, SettingsWindow& frmForm, std::int32_t maxValue) {
  mApplied = false;
  txtInputRange->clear();
  mRange = iRange2set;
  mForm = &frmForm;
  mMaxValue = maxValue;
  txtCaption2display->setText(CodePage::toQString(frmForm.rangeButtonTag(iRange2set)));
  txtInputRange->setText(CodePage::toQString(frmForm.getSelRangeArrayStr(iRange2set)));
  txtInputRange->setEnabled(iRange2set != 1);
  txtCaption2display->setEnabled(iRange2set != 1);
  setWindowIcon(parentWidget()->windowIcon());
  txtInputRange->setFocus();
  exec();
  return mApplied;
}

void FSetRange::cmdOkCancelApply_Click(std::int32_t index) {
  SettingsWindow& window = *mForm;
  std::int32_t status = kAccepted;
  if (!txtInputRange->text().contains(QLatin1Char(','))) {
    status = kNoFields;
  } else if (index != kCancel && mRange > 1) {
    status = window.setRange(mRange, CodePage::fromQString(txtInputRange->text()));
    mApplied = true;
    const std::string caption = CodePage::fromQString(txtCaption2display->text());
    window.setRangeButtonTag(mRange, caption);
    if (!window.HideNames()) window.setRangeButtonCaption(mRange, caption);
  }
  if (status != kAccepted) {
    ShowMessage::box({"Error setting Range!" + std::string(100, ' '),
                      statusMessage(status, mMaxValue) +
                          "\r\n\r\n[the only non-numeric text should be a ' to ' when defining a consecutive range. All "
                          "entrys (either\r\na single field No or a min to max field) need to be seperated with a comma, "
                          "including the last.]",
                      Message::OkOnly | Message::Exclamation});
  }
  if (index != kApply) hide();
}

std::string FSetRange::statusMessage(std::int32_t status, std::int32_t maxValue) {
  const std::string m = std::to_string(maxValue);
  switch (status) {
    case kAboveMax: return "A value higher than " + m + " was entered (and changed to " + m + ")";
    case kBelowOne: return "A value lower than 1 was entered (and changed to=1)";
    case kOtherFailure: return "Too many fields... only " + m + " seperate fields can be set (the first " + m + " values were used.)";
    case kNoFields: return "No Fields were entered!";
    case kTooLargeForLong: return "A value entered caused an overflow (and was changed to 1 more than the previous entry)";
    default: return {};
  }
}
