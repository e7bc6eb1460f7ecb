#pragma once
// Where the tool windows stood and whether they were shown, kept between runs. The editor's
// entry point hands the window its QSettings; without one (tests, scripts) nothing is kept.
// A position that no screen shows any more (a monitor unplugged, a smaller desktop) is replaced
// by one beside the main window, so a panel is never restored out of reach.

class QSettings;
class QWidget;
class QRect;

namespace tovala {

class TMyWindow;

void restorePanels(TMyWindow& w, QSettings& settings);
void savePanels(TMyWindow& w, QSettings& settings);

// `frame` moved onto the screen area `available` when no part of its title strip lies on it:
// beside `anchor` (the main window) when that fits, else the area's top-left corner.
QRect onScreen(const QRect& frame, const QRect& available, const QRect& anchor);

}  // namespace tovala
