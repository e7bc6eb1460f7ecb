#pragma once
// Where the tool windows stood and whether they were shown, kept between runs. The editor's
// entry point hands the window its QSettings; without one (tests, scripts) nothing is kept.
// A position that no screen shows any more (a monitor unplugged, a smaller desktop) is replaced
// by one beside the main window, so a panel is never restored out of reach.

#include <vector>

#include <QRect>

class QSettings;
class QWidget;

namespace tovala {

class TMyWindow;
class Panel;

// Places `p` beside its main window unless it has a place already (see besideOwner).
void placeBesideOwner(Panel& p);

void restorePanels(TMyWindow& w, QSettings& settings);
void savePanels(TMyWindow& w, QSettings& settings);

// Where a panel shown for the first time goes: in a column just right of the main window
// (`owner`), or just left of it when the right has no room, below the panels already standing
// there (`taken`), so it never covers the canvas. When neither column has room: the right
// column's top, pulled onto `available`.
QPoint besideOwner(const QSize& panel, const QRect& owner, const QRect& available,
                   const std::vector<QRect>& taken);

// Places every shown panel that has no place yet (none remembered, never moved) beside the
// main window. Panels shown later place themselves the same way.
void placeNewPanels(TMyWindow& w);

// `frame` moved onto the screen area `available` when no part of its title strip lies on it:
// beside `anchor` (the main window) when that fits, else the area's top-left corner.
QRect onScreen(const QRect& frame, const QRect& available, const QRect& anchor);

}  // namespace tovala
