// Scripts and tests run the programs unattended: with ZENTAVO_UNATTENDED
// naming a file, every message box and window that would wait for the user is
// written there and answered with its safe choice (OK, No, Cancel), and file
// dialogs are cancelled.
#pragma once

#include "engine/host/host.h"

#include <QString>

namespace zv::qt {

class QtHost;

void InstallUnattendedMode(QtHost& host);
// The log file, or empty when the program runs attended.
QString UnattendedLog();
// Writes one line to the log; nothing when attended.
void LogUnattended(const QString& line);
zv::Answer SafeAnswer(zv::Buttons buttons);

} // namespace zv::qt
