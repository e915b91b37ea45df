#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

// Answers the modal dialogs a test action opens, one step per dialog, in order. A dialog of
// another type, a missing one or one too many is closed and recorded, so that the test fails
// at once instead of hanging; the test fails when the answerer goes out of scope with an error
// or a step not taken. Handlers press a button; the test asserts after the action. Only the
// youngest live answerer answers: one without steps made in init() guards a whole test.
class ModalAnswerer {
 public:
  template <class Dialog>
  ModalAnswerer& then(std::function<void(Dialog*)> handler) {
    mSteps.push_back({[](QWidget* w) { return qobject_cast<Dialog*>(w) != nullptr; },
                      [handler](QWidget* w) { handler(qobject_cast<Dialog*>(w)); }, Dialog::staticMetaObject.className()});
    return *this;
  }

  ModalAnswerer() : mOuter(sYoungest) {
    sYoungest = this;
    schedule();
  }
  ~ModalAnswerer() {
    *mAlive = false;
    sYoungest = mOuter;
    closeAll();
    if (mNext < mSteps.size()) errors << QStringLiteral("no %1 appeared").arg(QLatin1String(mSteps[mNext].type));
    if (!errors.isEmpty()) QTest::qFail(qPrintable(errors.join(QLatin1Char('\n'))), __FILE__, __LINE__);
  }
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  // Every step ran and nothing unexpected appeared.
  bool allAnswered() const { return errors.isEmpty() && mNext == mSteps.size(); }
  QStringList errors;

 private:
  struct Step {
    std::function<bool(QWidget*)> matches;
    std::function<void(QWidget*)> run;
    const char* type;
  };

  static QWidget* openModal() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    return QApplication::activeModalWidget();
  }
  static void closeAll() {
    for (int guard = 0; guard < 10; ++guard) {
      QWidget* open = openModal();
      if (!open) return;
      if (auto* dialog = qobject_cast<QDialog*>(open)) dialog->reject();
      else open->close();
    }
  }
  static QString name(QWidget* w) {
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(w->metaObject()->className()), w->windowTitle());
  }

  // Single-shot timers, the next one set before a handler runs: a handler that leads to a
  // nested modal must not keep the next step from answering it.
  void schedule() {
    QTimer::singleShot(10, [this, alive = mAlive] {
      if (*alive) poll();
    });
  }
  void poll() {
    QWidget* open = openModal();
    schedule();
    if (!open || sYoungest != this) return;
    if (mNext >= mSteps.size() || !mSteps[mNext].matches(open)) {
      errors << QStringLiteral("unexpected ") + name(open);
      mNext = mSteps.size();
      closeAll();
      return;
    }
    QPointer<QWidget> answered = open;
    mSteps[mNext++].run(open);
    if (answered && answered->isVisible()) {  // also where the handler's button did not exist
      errors << name(answered) + QStringLiteral(" left open");
      closeAll();
    }
  }

  std::vector<Step> mSteps;
  std::size_t mNext = 0;
  ModalAnswerer* mOuter;
  std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
  static inline ModalAnswerer* sYoungest = nullptr;
};

// Clicks a button a handler looked up; one the dialog does not have leaves it open, an error.
inline void press(QAbstractButton* button) {
  if (button) button->click();
}
