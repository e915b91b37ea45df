#include "ShowMessage.h"

#include <QApplication>
#include <QMessageBox>

#include "CodePage.h"

namespace ShowMessage {
namespace {

QMessageBox::StandardButtons buttonsOf(int style) {
  switch (style & Message::kButtonMask) {
    case Message::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Message::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Message::YesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon iconOf(int style) {
  switch (style & ~Message::kButtonMask) {
    case Message::Critical: return QMessageBox::Critical;
    case Message::Question: return QMessageBox::Question;
    case Message::Exclamation: return QMessageBox::Warning;
    case Message::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int resultOf(int button) {
  switch (button) {
    case QMessageBox::Cancel: return Message::Cancel;
    case QMessageBox::Yes: return Message::Yes;
    case QMessageBox::No: return Message::No;
    default: return Message::Ok;
  }
}

QString textOf(const Message& message) {
  if (message.pathAt > message.text.size()) return CodePage::toQString(message.text);
  const std::string_view text = message.text;
  return CodePage::toQString(text.substr(0, message.pathAt)) + CodePage::fromPath(message.path) +
         CodePage::toQString(text.substr(message.pathAt));
}

}  // namespace

int box(const Message& message) {
  QMessageBox shown(iconOf(message.style), CodePage::toQString(message.title), textOf(message), buttonsOf(message.style),
                    QApplication::activeWindow());
  return resultOf(shown.exec());
}

void failure(const FileFailure& failure) {
  for (const Message& message : failureMessages(failure)) box(message);
}

}  // namespace ShowMessage
