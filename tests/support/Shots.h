#pragma once
#include <QString>
#include <QWidget>

// With PELKO_SHOTS set to a folder, tests save the dialogs they answer there as pictures for a
// person to check.
inline void shoot(QWidget* dialog, const QString& name) {
  if (qEnvironmentVariableIsSet("PELKO_SHOTS"))
    dialog->grab().save(qEnvironmentVariable("PELKO_SHOTS") + QLatin1Char('/') + name);
}
