#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CellEditor;
class EditedFile;
class QWidget;

// The edit of one value in the grid: the one real text editor, the record and display column it
// edits, and the value as typed. Every change is written through to the file at once; the typing
// of an edit becomes one undo step of the file when it is finished.
class CellEditSession : public QObject {
  Q_OBJECT

 public:
  // The editor is made in `host`, over whose cells it is placed, and stays there: a session that
  // goes first leaves it inert.
  CellEditSession(QWidget* host, EditedFile& file);

  CellEditor* editor() const { return mEditor; }
  bool active() const { return mActive; }
  std::int32_t record() const { return mRecord; }
  std::int32_t column() const { return mColumn; }
  std::int32_t field() const;
  const std::string& value() const { return mValue; }
  bool isEditing(std::int32_t iRecNo, std::int32_t iColumn) const {
    return mActive && mRecord == iRecNo && mColumn == iColumn;
  }
  // The value differs from the game's default copy.
  bool differs() const;

  // The editor takes the stored value of the record's field in the display column.
  void begin(std::int32_t iRecNo, std::int32_t iColumn);
  // The typing so far becomes a step of its own, before any other step is made or undone.
  void finishStep();
  // The stored value changed under the edit (an undo): the editor shows it, and a new step starts.
  void takeStoredValue();
  // The editor's own undo or redo of its typing; false, the typing finished as a step, when it
  // has none left.
  bool undoTyping(bool redo);

 signals:
  // A change of the value, written through to the file.
  void typed();
  // The editor lost the focus: the edit is over, its typing a step of the file.
  void ended();
  // What the status line should say about the edit.
  void notice(const QString& text);

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void end();
  void textChanged();
  void show(std::string value);
  void showStoredValue();
  bool pasteFits(const QString& pasted);
  void tint();

  EditedFile& mFile;
  CellEditor* mEditor;
  bool mActive = false;
  bool mFilling = false;  // the editor's text is set, not typed
  std::int32_t mRecord = 0;
  std::int32_t mColumn = 0;
  std::string mValue;         // the bytes the editor's text stands for
  std::string mValueAtFocus;  // what the cell held when the step began
  QString mShown;             // the editor's text for them
  // This edit's earlier texts and values: the editor's own undo gets back the exact bytes.
  std::vector<std::pair<QString, std::string>> mStates;
};
