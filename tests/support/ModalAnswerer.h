#pragma once
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

// Answers the modal dialogs a test action opens, one step per dialog, in order. A dialog of
// another type, a missing one or one too many is closed and recorded in `errors`, so that the
// test fails instead of hanging. Handlers press a button; the test asserts after the action.
class ModalAnswerer {
 public:
  template <class Dialog>
  ModalAnswerer& then(std::function<void(Dialog*)> handler) {
    mSteps.push_back({[](QWidget* w) { return qobject_cast<Dialog*>(w) != nullptr; },
                      [handler](QWidget* w) { handler(qobject_cast<Dialog*>(w)); }, Dialog::staticMetaObject.className()});
    return *this;
  }

  ModalAnswerer() {
    mWaiting.start();
    schedule();
  }
  ~ModalAnswerer() {
    *mAlive = false;
    closeAll();
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

  // Single-shot timers, the next one set before a handler runs: a handler that leads to a
  // nested modal must not keep the next step from answering it.
  void schedule() {
    QTimer::singleShot(10, [this, alive = mAlive] {
      if (*alive) poll();
    });
  }
  void poll() {
    QWidget* open = openModal();
    if (!open) {
      if (mNext < mSteps.size() && mWaiting.elapsed() > 5000) {
        errors << QStringLiteral("no %1 appeared").arg(QLatin1String(mSteps[mNext].type));
        mNext = mSteps.size();
      }
      schedule();
      return;
    }
    if (mNext >= mSteps.size() || !mSteps[mNext].matches(open)) {
      errors << QStringLiteral("unexpected %1 \"%2\"").arg(QLatin1String(open->metaObject()->className()), open->windowTitle());
      mNext = mSteps.size();
      closeAll();
      schedule();
      return;
    }
    schedule();
    QPointer<QWidget> answered = open;
    mSteps[mNext++].run(open);
    mWaiting.restart();
    if (answered && answered->isVisible()) {
      errors << QStringLiteral("%1 \"%2\" left open").arg(QLatin1String(answered->metaObject()->className()), answered->windowTitle());
      closeAll();
    }
  }

  std::vector<Step> mSteps;
  std::size_t mNext = 0;
  QElapsedTimer mWaiting;
  std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
