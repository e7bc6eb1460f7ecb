#include "shell/panel_memory.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>

#include "shell/main_window.h"

namespace tovala {

namespace {
constexpr int kTitleStrip = 24;  // enough of the top edge to grab the window by

QString keyOf(const Panel& p, const char* what) {
  return QStringLiteral("panels/%1/%2").arg(p.objectName(), QLatin1String(what));
}

// The union of what every screen shows.
QRect desktopArea() {
  QRect area;
  for (const QScreen* s : QGuiApplication::screens()) area = area.united(s->availableGeometry());
  return area;
}
}  // namespace

QRect onScreen(const QRect& frame, const QRect& available, const QRect& anchor) {
  const QRect strip(frame.topLeft(), QSize(frame.width(), kTitleStrip));
  if (available.isEmpty() || available.intersects(strip)) return frame;
  QRect placed = frame;
  placed.moveTopLeft(anchor.topRight() + QPoint(1, 0));
  if (!available.contains(placed.topLeft())) placed.moveTopLeft(available.topLeft());
  return placed;
}

void restorePanels(TMyWindow& w, QSettings& settings) {
  const QRect area = desktopArea();
  for (int i = 0; i < int(PanelId::Count); ++i) {
    Panel* p = w.panel(PanelId(i));
    if (!p || !settings.contains(keyOf(*p, "pos"))) continue;
    const QRect saved(settings.value(keyOf(*p, "pos")).toPoint(), p->size());
    p->move(onScreen(saved, area, w.frameGeometry()).topLeft());
    // The two panels shown at start-up keep the user's choice; the others open with their
    // commands and the selection they serve.
    if (PanelId(i) == PanelId::Control || PanelId(i) == PanelId::LineList)
      p->setVisible(settings.value(keyOf(*p, "shown"), true).toBool());
  }
}

void savePanels(TMyWindow& w, QSettings& settings) {
  for (int i = 0; i < int(PanelId::Count); ++i) {
    const Panel* p = w.panel(PanelId(i));
    if (!p) continue;
    settings.setValue(keyOf(*p, "pos"), p->pos());
    settings.setValue(keyOf(*p, "shown"), p->isVisible());
  }
}

}  // namespace tovala
