// The program's start: one instance per user, settings and language texts,
// the update checker, the frame at its remembered place, the event loop.
#pragma once

#include "engine/config/settings.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QSize>

#include <string>

class QWidget;

namespace zv::app {

// Runs the whole program; returns its exit code.
int RunZentavo(int argc, char** argv);

struct StartGeometry {
    QRect rect;
    bool maximised = false;
};
// The remembered rectangle WINDOW_LEFT/TOP/RIGHT/BOTTOM on a screen of the
// given size: a window as wide as the screen starts maximised (and comes back
// 50 pixels inside the screen's edges); never smaller than 180 by 180.
StartGeometry StartGeometryFor(zv::SettingsStore& settings, QSize screen);
// Puts the frame there and shows it.
void ShowAtStartGeometry(QWidget& frame, const StartGeometry& geometry);

// Starts the update checker twice (silent check "1", announcements "2") while
// _CNF_ASK_11 is empty and the checker is installed.
void StartUpdateChecker(zv::SettingsStore& settings, const std::string& installDir);

// The file the program was started with (its first argument) as an absolute
// path; a file: URL is taken as its path. Empty when none was given.
QString GivenFile(const QStringList& arguments);

} // namespace zv::app
