#pragma once
#include <QFrame>
#include <array>
#include <cstdint>

class QIcon;
class QLabel;

// The panel over the window while a file loads or saves: what is read or written, where, and a
// bar and counter that follow the store's progress. It holds the busy pointer while it shows.
class ProgressPanel : public QFrame {
  Q_OBJECT

 public:
  enum class Work { Saving, Loading, LoadingDefaults };

  explicit ProgressPanel(QWidget* window);

  // Centred in the window, painted at once: the work that follows keeps the event loop waiting.
  void start(Work work, std::int32_t kind, const QIcon& icon, const QString& section, const QString& path);
  void finish();
  // The store's progress per record, iUnitNo counted from the file's first record.
  void unitLoaded(std::int32_t iUnitNo, std::int32_t firstDataUnit, std::int64_t iLenStart, std::int64_t ilenCurrent);

 private:
  QLabel* lblLoadMessage;
  QLabel* lblProgress;
  QFrame* shpProgressBar;
  QLabel* lblUnitsLoaded;
  std::array<QLabel*, 4> imgICON{};
  QLabel* mShownIcon = nullptr;
  bool mBusyCursor = false;
  std::int64_t mLastPaint = 0;  // steady-clock milliseconds
};
