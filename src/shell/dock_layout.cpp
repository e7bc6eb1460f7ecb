#include "shell/dock_layout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "shell/main_window.h"
#include "shell/panel.h"

namespace tovala {

namespace {

// Bumped whenever the set of docks or their names change, so an older saved state is dropped
// rather than applied to docks it does not describe.
constexpr int kLayoutVersion = 1;
constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kStateKey = "window/state";

// Side columns start at these widths; the canvas takes the rest.
constexpr int kLeftWidth = 300;
constexpr int kRightWidth = 340;
constexpr int kBottomHeight = 220;

// A screen at least this large gets a window that leaves the desktop around it visible.
constexpr int kRoomyWidth = 1600, kRoomyHeight = 960;

struct DockHome {
  PanelId id;
  Qt::DockWidgetArea area;
  PanelId tabWith;  // the first dock of its tab group; its own id when it heads one
};

// Where each panel belongs by default. The left column holds the control panel above the line
// list; the panels that edit one selected thing share tabs on the right; the wide ones sit below.
constexpr DockHome kHomes[] = {
    {PanelId::Control, Qt::LeftDockWidgetArea, PanelId::Control},
    {PanelId::LineList, Qt::LeftDockWidgetArea, PanelId::LineList},
    {PanelId::Settings, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Joint, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::CLine, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::OLine, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Objects, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::EditTool, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Move, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Paint, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Pose, Qt::RightDockWidgetArea, PanelId::Settings},
    {PanelId::Timeline, Qt::BottomDockWidgetArea, PanelId::Timeline},
    {PanelId::Script, Qt::BottomDockWidgetArea, PanelId::Timeline},
};

const DockHome& homeOf(PanelId id) {
  for (const DockHome& h : kHomes)
    if (h.id == id) return h;
  return kHomes[2];  // a panel added later waits on the right
}

bool shownAtStart(PanelId id) { return id == PanelId::Control || id == PanelId::LineList; }

std::vector<PanelDock*> docksOf(const TMyWindow& w) {
  std::vector<PanelDock*> out;
  for (int i = 0; i < int(PanelId::Count); ++i)
    if (const Panel* p = w.panel(PanelId(i)))
      if (PanelDock* d = dockOf(*p)) out.push_back(d);
  return out;
}

QScreen* screenFor(const QWidget& widget) {
  QScreen* s = widget.screen();
  return s ? s : QGuiApplication::primaryScreen();
}

// What a panel needs to be shown whole: a panel of fixed size says so by its minimum.
QSize neededSize(const QWidget& panel) {
  return panel.sizeHint().expandedTo(panel.minimumSize());
}

// The width a side column needs to show the panel without scrolling sideways: its own width,
// the vertical scroll bar it may need and the dock's frame.
int widthFor(const PanelDock& d) {
  const int bar = d.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  return neededSize(d.panel()).width() + bar + 8;
}

}  // namespace

PanelDock::PanelDock(Panel& panel, QWidget* parent) : QDockWidget(parent), panel_(panel) {
  setObjectName(QStringLiteral("dock-") + panel.objectName());
  setWindowTitle(panel.windowTitle());
  // The panel's own title follows it into the dock's title bar when the panel changes it.
  connect(&panel, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
  // A panel taller or wider than the room it gets scrolls instead of pushing the window off
  // the screen.
  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(&panel);
  setWidget(scroll);
  connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
    if (shown) panel_.refresh();
  });
}

void PanelDock::closeEvent(QCloseEvent* event) {
  // The panel's Cancel ends whatever it had started on the canvas and hides the dock with it.
  if (panel_.isVisible()) panel_.reject();
  QDockWidget::closeEvent(event);
}

PanelDock* dockOf(const Panel& panel) { return static_cast<PanelDock*>(panel.dock()); }

PanelDock* dockPanel(TMyWindow& w, Panel& panel) {
  if (PanelDock* d = dockOf(panel)) return d;
  const bool shown = panel.isVisibleTo(&w) || !panel.isHidden();
  panel.setWindowFlags(Qt::Widget);
  auto* dock = new PanelDock(panel, &w);
  panel.setDock(dock);
  panel.setVisible(shown);
  w.addDockWidget(homeOf(panel.id()).area, dock);
  return dock;
}

void fitDockSizes(TMyWindow& w) {
  QList<QDockWidget*> left, right, bottom;
  int leftWidth = kLeftWidth, rightWidth = kRightWidth;
  for (PanelDock* d : docksOf(w)) {
    switch (homeOf(d->panel().id()).area) {
      case Qt::LeftDockWidgetArea:
        left << d;
        leftWidth = std::max(leftWidth, widthFor(*d));
        break;
      case Qt::RightDockWidgetArea:
        right << d;
        rightWidth = std::max(rightWidth, widthFor(*d));
        break;
      default: bottom << d; break;
    }
  }
  // Docks sharing a column share its width: each is asked for the widest one's.
  w.resizeDocks(left, QList<int>(left.size(), leftWidth), Qt::Horizontal);
  w.resizeDocks(right, QList<int>(right.size(), rightWidth), Qt::Horizontal);
  w.resizeDocks(bottom, QList<int>(bottom.size(), kBottomHeight), Qt::Vertical);
  // The line list gets what the control panel leaves of the column.
  if (const Panel* control = w.panel(PanelId::Control))
    w.resizeDocks({dockOf(*control)}, {neededSize(*control).height()}, Qt::Vertical);
}

void applyDefaultLayout(TMyWindow& w) {
  const std::vector<PanelDock*> docks = docksOf(w);
  for (PanelDock* d : docks) {
    d->setFloating(false);
    w.removeDockWidget(d);
  }
  // Each group's head first, so the others have a dock to be tabbed with.
  for (PanelDock* d : docks) {
    const DockHome& h = homeOf(d->panel().id());
    if (h.tabWith == h.id) w.addDockWidget(h.area, d, Qt::Vertical);
  }
  for (PanelDock* d : docks) {
    const DockHome& h = homeOf(d->panel().id());
    if (h.tabWith == h.id) continue;
    const Panel* head = w.panel(h.tabWith);
    if (head && dockOf(*head)) {
      w.tabifyDockWidget(dockOf(*head), d);
    } else {
      w.addDockWidget(h.area, d);
    }
  }
  for (PanelDock* d : docks) d->panel().setVisible(shownAtStart(d->panel().id()));
  fitDockSizes(w);
  // Settings raised last leads its tab group.
  if (const Panel* settings = w.panel(PanelId::Settings)) dockOf(*settings)->raise();
}

bool restoreLayout(TMyWindow& w, QSettings& settings) {
  if (!settings.contains(kStateKey)) return false;
  const bool geometry = w.restoreGeometry(settings.value(kGeometryKey).toByteArray());
  const bool state = w.restoreState(settings.value(kStateKey).toByteArray(), kLayoutVersion);
  if (!geometry || !state) return false;
  keepOnScreen(w);
  for (PanelDock* d : docksOf(w))
    if (d->isFloating()) keepOnScreen(*d);
  return true;
}

void saveLayout(const TMyWindow& w, QSettings& settings) {
  settings.setValue(kGeometryKey, w.saveGeometry());
  settings.setValue(kStateKey, w.saveState(kLayoutVersion));
}

namespace {

constexpr int kFrameSettleMs = 250;

void sizeForScreen(TMyWindow& w) {
  const QRect frame = firstStartFrame(availableFor(w));
  w.setGeometry(frame.marginsRemoved(frameMargins(w)));
  QTimer::singleShot(0, &w, [&w] { fitDockSizes(w); });
  QTimer::singleShot(kFrameSettleMs, &w, [&w] { keepOnScreen(w); });
}

}  // namespace

QMargins frameMargins(const QWidget& window) {
  const QRect f = window.frameGeometry(), g = window.geometry();
  const QMargins m(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                   f.bottom() - g.bottom());
  // A window manager frames a window only once it is shown; until then the frame is guessed.
  constexpr QMargins kGuessedFrame(4, 30, 4, 4);
  return m.isNull() && window.isWindow() && window.windowType() != Qt::Popup ? kGuessedFrame : m;
}

void keepOnScreenSoon(QWidget& window) {
  QTimer::singleShot(kFrameSettleMs, &window, [&window] { keepOnScreen(window); });
}

void startLayout(TMyWindow& w, QSettings* settings) {
  if (settings && restoreLayout(w, *settings)) {
    keepOnScreenSoon(w);
    return;
  }
  applyDefaultLayout(w);
  sizeForScreen(w);
}

void resetLayout(TMyWindow& w) {
  w.showNormal();
  applyDefaultLayout(w);
  sizeForScreen(w);
}

QRect firstStartFrame(const QRect& available) {
  if (available.width() < kRoomyWidth || available.height() < kRoomyHeight) return available;
  QRect frame(QPoint(0, 0), QSize(available.width() * 9 / 10, available.height() * 9 / 10));
  frame.moveCenter(available.center());
  return frame;
}

QRect fitInto(const QRect& frame, const QRect& available) {
  if (available.isEmpty()) return frame;
  QRect out(frame.topLeft(), frame.size().boundedTo(available.size()));
  if (out.right() > available.right()) out.moveRight(available.right());
  if (out.bottom() > available.bottom()) out.moveBottom(available.bottom());
  if (out.left() < available.left()) out.moveLeft(available.left());
  if (out.top() < available.top()) out.moveTop(available.top());
  return out;
}

QRect availableFor(const QWidget& widget) {
  QScreen* s = widget.isWindow() ? QGuiApplication::screenAt(widget.frameGeometry().center())
                                 : nullptr;
  if (!s) s = screenFor(widget);
  return s ? s->availableGeometry() : QRect();
}

void keepOnScreen(QWidget& window) {
  const QRect available = availableFor(window);
  const QRect frame = window.geometry().marginsAdded(frameMargins(window));
  const QRect fitted = fitInto(frame, available);
  if (fitted == frame) return;
  window.resize(fitted.marginsRemoved(frameMargins(window)).size());
  window.move(fitted.topLeft());
}

}  // namespace tovala
