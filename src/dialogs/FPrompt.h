#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

#include "FileKind.h"

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
  std::array<QToolButton*, FileKinds::kCount + 1> cmdLaunch{};  // by kind, from 1
  std::array<QLabel*, FileKinds::kCount + 1> lblFType{};        // by kind, from 1
  QPushButton* cmdExit = nullptr;
};
