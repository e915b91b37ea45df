#pragma once
#include "FileFailure.h"
#include "Message.h"

// The window's and the dialogs' message boxes, over the active window. The path of a message is
// shown in the file system's encoding, the rest as code-page text.
namespace ShowMessage {
// The button pressed, as a Message::Result.
int box(const Message& message);
// Each box the failure gives, in order.
void failure(const FileFailure& failure);
}  // namespace ShowMessage
