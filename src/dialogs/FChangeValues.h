#pragma once
#include <QDialog>
#include <optional>

#include "BlockChange.h"

class CRecordData;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Change Values: one expression for many values, with what it would do shown before it is
// applied. The store is only read; the caller applies the change.
class FChangeValues : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPreviewLines = 5;

  FChangeValues(const CRecordData& record, ChangeTargets targets, QWidget* parent);

  // After exec() returned Accepted: the values the expression changes.
  CellChanges takeCells() { return std::move(mChange->cells); }

 private:
  void preview();
  QString describe(const BlockChange& change) const;

  const CRecordData& mRecord;
  ChangeTargets mTargets;
  std::optional<BlockChange> mChange;
  QLineEdit* txtExpression;
  QLabel* lblPreview;
  QDialogButtonBox* mButtons;
};
