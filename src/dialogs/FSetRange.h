#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

class FEditor;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The modal dialog that defines one of the editor window's six field ranges and the caption of
// its option button. One instance is reused for every showing.
class FSetRange : public QDialog {
  Q_OBJECT

 public:
  explicit FSetRange(FEditor& owner);

  // Shows range iRange2set (1..6) of frmForm; true when a range was applied with OK or Apply.
  bool setRangeInput(std::int32_t iRange2set, FEditor& frmForm);

  // The message of a status of the window's setRange (and 5: no comma), M the store's MaxValue.
  static std::string statusMessage(std::int32_t status, std::int32_t maxValue);

 private:
  void cmdOkCancelApply_Click(std::int32_t index);

  std::int32_t mRange = 0;
  FEditor* mForm = nullptr;
  bool mApplied = false;

  QFrame* Frame1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* txtInputRange = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtCaption2display = nullptr;
  std::array<QPushButton*, 3> cmdOkCancelApply{};  // 0 OK, 1 Cancel, 2 Apply
};
