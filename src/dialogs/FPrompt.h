#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

// The modal question for a kind of data file (1 unit, 2 building, 3 projectile), for Load File
// without detection and for Load Defaults.
class FPrompt : public QDialog {
  Q_OBJECT

 public:
  explicit FPrompt(QWidget* owner);

  // The kind the user picked, or 0 when the dialog was cancelled or closed.
  std::int32_t RetMlFormID(QWidget* frmForm, bool fDefault);

 private:
  void layOut();

  std::int32_t mChosen = 0;
  QLabel* lblCaption = nullptr;
  QFrame* fraPrompt = nullptr;
  QLabel* Label1 = nullptr;
  std::array<QToolButton*, 4> cmdLaunch{};  // 1 to 3
  std::array<QLabel*, 4> lblFType{};        // 1 to 3
  QPushButton* cmdExit = nullptr;
};
