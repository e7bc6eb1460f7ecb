#pragma once
// The panels as docks around the canvas, and the window's layout kept between runs.
//
// Every panel stands in a dock of its own: the control panel and the line list on the left, the
// property, joint and the other editing panels tabbed on the right, the timeline and the script
// editor below. A dock can float, be tabbed with another or closed; its panel's command in 表示
// brings it back. The docks' arrangement and the window's geometry are kept in the settings the
// editor's entry point hands over (Qt's saved window state); レイアウトを初期化 puts the default
// back. A restored or default layout always fits the screen it is on.

#include <QDockWidget>
#include <QMargins>
#include <QRect>

class QSettings;

namespace tovala {

class Panel;
class TMyWindow;

// The dock a panel stands in. Closing the dock closes the panel as its own Cancel would, and a
// dock brought forward refreshes its panel, which may have missed changes while tabbed away.
class PanelDock : public QDockWidget {
  Q_OBJECT

 public:
  PanelDock(Panel& panel, QWidget* parent);
  Panel& panel() const { return panel_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Panel& panel_;
};

// Puts `panel` into a dock of the window, in its default area. Called as the panel is installed.
PanelDock* dockPanel(TMyWindow& w, Panel& panel);
PanelDock* dockOf(const Panel& panel);

// The default arrangement: the areas and tabs above, the start-up panels shown (the control
// panel and the line list), every other dock closed and docked, widths fitted to the window.
void applyDefaultLayout(TMyWindow& w);

// The side columns as wide as their panels, the bottom row a fixed height, the control panel as
// tall as it is; the canvas takes the rest.
void fitDockSizes(TMyWindow& w);

// The window's geometry and docks as saved; false when nothing usable was saved (the default
// stays). A restored layout is pulled onto the screen.
bool restoreLayout(TMyWindow& w, QSettings& settings);
void saveLayout(const TMyWindow& w, QSettings& settings);

// What the window shows at start-up (called once it is shown): the layout kept in `settings`,
// or, on a first start (or without settings), the default layout in a window sized to the screen.
void startLayout(TMyWindow& w, QSettings* settings);
// 表示 → レイアウトを初期化: the default docks in a window sized to the screen again.
void resetLayout(TMyWindow& w);

// The size and place a main window takes at its first start on a screen whose free area is
// `available`: the whole area on a small screen, otherwise a large window in its middle. The
// rectangle is the frame's.
QRect firstStartFrame(const QRect& available);

// `frame` shrunk to fit `available` and moved onto it (a window never opens off the screen or
// taller than it).
QRect fitInto(const QRect& frame, const QRect& available);

// Moves and shrinks a top-level window so that its frame lies on the screen it is on; the same
// again once a window manager has had time to frame a window just shown.
void keepOnScreen(QWidget& window);
void keepOnScreenSoon(QWidget& window);
// The frame a window manager puts around `window`, guessed while it has none yet.
QMargins frameMargins(const QWidget& window);

// The free area of the screen a widget is on (the primary screen when it is on none).
QRect availableFor(const QWidget& widget);

}  // namespace tovala
