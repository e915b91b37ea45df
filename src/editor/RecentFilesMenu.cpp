#include "RecentFilesMenu.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include "CodePage.h"
#include "Settings.h"
#include "ShowMessage.h"

namespace {

constexpr int kArrowWidth = 14;  // pixels, within the button's frame

}  // namespace

RecentFilesMenu::RecentFilesMenu(QPushButton* loadFile, QWidget* window)
    : QObject(loadFile), mLoadFile(loadFile), mArrow(new QToolButton(loadFile)) {
  mArrow->setObjectName(QStringLiteral("cmdRecentFiles"));
  mArrow->setArrowType(Qt::DownArrow);
  mArrow->setAutoRaise(true);
  // The keys reach the list through the Load File button; the arrow would only add a Tab stop.
  mArrow->setFocusPolicy(Qt::NoFocus);
  mArrow->setToolTip(QStringLiteral("Recent files (Ctrl+R, Alt+Down)"));
  connect(mArrow, &QToolButton::clicked, this, &RecentFilesMenu::popup);
  connect(new QShortcut(Qt::CTRL | Qt::Key_R, window), &QShortcut::activated, this, &RecentFilesMenu::popup);
  mLoadFile->installEventFilter(this);
  placeArrow();
}

void RecentFilesMenu::placeArrow() {
  const int margin = 3;
  mArrow->setGeometry(mLoadFile->width() - kArrowWidth - margin, margin, kArrowWidth, mLoadFile->height() - 2 * margin);
}

bool RecentFilesMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched != mLoadFile) return false;
  if (event->type() == QEvent::Resize) placeArrow();
  bool opens = event->type() == QEvent::ContextMenu;
  if (event->type() == QEvent::KeyPress) {
    const QKeyCombination keys = static_cast<QKeyEvent*>(event)->keyCombination();
    opens =
        keys == (Qt::ALT | Qt::Key_Down) || keys == (Qt::SHIFT | Qt::Key_F10) || keys == QKeyCombination(Qt::Key_Menu);
  }
  if (opens) popup();
  return opens;
}

void RecentFilesMenu::popup() {
  const RecentFiles recent = GlobalShared::loadRecentFiles();
  QMenu menu(mLoadFile);
  menu.setObjectName(QStringLiteral("mnuRecentFiles"));
  int n = 0;
  for (const std::string& path : recent.paths()) {
    QString shown = CodePage::shownPath(path);
    QAction* entry =
        menu.addAction(QStringLiteral("&%1  %2").arg(++n).arg(shown.replace(QLatin1Char('&'), QStringLiteral("&&"))));
    entry->setData(QByteArray::fromStdString(path));
  }
  if (n == 0) menu.addAction(QStringLiteral("No recent files"))->setEnabled(false);
  // Chosen once the menu is gone: the load may ask its questions.
  if (const QAction* picked = menu.exec(mLoadFile->mapToGlobal(QPoint(0, mLoadFile->height())));
      picked && picked->data().isValid())
    emit chosen(picked->data().toByteArray().toStdString());
}

void RecentFilesMenu::remember(const std::string& path) {
  const std::string absolute =
      CodePage::toPath(QDir::cleanPath(QFileInfo(CodePage::fromPath(path)).absoluteFilePath()));
  RecentFiles recent = GlobalShared::loadRecentFiles();
  recent.add(absolute);
  if (const auto failure = GlobalShared::saveRecentFiles(recent)) ShowMessage::failure(*failure);
}
