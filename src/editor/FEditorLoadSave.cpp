// Loading and saving data files.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "CRecordData.h"
#include "CodePage.h"
#include "FEditor.h"
#include "GlobalShared.h"

void FEditor::showLoadedRecords(const std::string& sPath, std::int32_t iFileType) {
  const std::int32_t units = mRecord->NoUnits() - firstDataUnit() + 1;
  lblStatusBar->setText((QString::number(units) + QStringLiteral(" units loaded from; ") + CodePage::toQString(sPath)).toLower());
  setWindowTitle(QLatin1Char('[') + CodePage::toQString(GlobalShared::getFileName(sPath)).toLower() +
                 QStringLiteral("] - PelkoEditor ") + CodePage::toQString(GlobalShared::getSectionName(iFileType)));
  vsbUnits2display->setMinimum(firstDataUnit());
  setVerticalMaximum(mRecord->NoUnits() - noUnits2Display() + 1);
  vsbUnits2display->setValue(firstDataUnit());  // a new file starts at its first unit
  hsbFields2Display->setMaximum(mRecord->NoFieldsInSelectedRange());
  refreshDisplay(3);
  fraOptions->show();
  fraMain->show();
  cmdFileActions[3]->setEnabled(true);
  Form_Resize();
}
