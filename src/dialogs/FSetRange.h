#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

class SettingsWindow;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The modal dialog that defines one of the editor window's six field ranges and the caption of
// its option button. One instance is reused for every showing.
class FSetRange : public QDialog {
  Q_OBJECT

 public:
  explicit FSetRange(QWidget& owner);

  // Shows range iRange2set of frmForm, whose store has maxValue fields; true when a range was
  // applied with OK or Apply.
  bool setRangeInput(std::int32_t iRange2set, SettingsWindow& frmForm, std::int32_t maxValue);

  // The message of a RangeStatus (or kNoFields), M the store's MaxValue.
  static std::string statusMessage(std::int32_t status, std::int32_t maxValue);

 private:
  void cmdOkCancelApply_Click(std::int32_t index);

  std::int32_t mRange = 0;
  SettingsWindow* mForm = nullptr;
  std::int32_t mMaxValue = 0;
  bool mApplied = false;

  QFrame* Frame1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* txtInputRange = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtCaption2display = nullptr;
  std::array<QPushButton*, 3> cmdOkCancelApply{};  // 0 OK, 1 Cancel, 2 Apply
};
