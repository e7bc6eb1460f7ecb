#include "shell/panel_memory.h"

#include <algorithm>

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>

#include "shell/main_window.h"
#include "shell/panel.h"

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

QPoint besideOwner(const QSize& panel, const QRect& owner, const QRect& available,
                   const std::vector<QRect>& taken) {
  const int columns[2] = {owner.right() + 1, owner.left() - panel.width()};
  for (const int x : columns) {
    QRect at(QPoint(x, owner.top()), panel);
    if (!available.isEmpty() && (at.left() < available.left() || at.right() > available.right()))
      continue;
    // Down the column past every panel in the way.
    for (bool moved = true; moved;) {
      moved = false;
      for (const QRect& t : taken) {
        if (t.intersects(at)) {
          at.moveTop(t.bottom() + 1);
          moved = true;
        }
      }
    }
    if (available.isEmpty() || at.bottom() <= available.bottom()) return at.topLeft();
  }
  QRect at(QPoint(columns[0], owner.top()), panel);
  if (!available.isEmpty()) {
    at.moveRight(std::min(at.right(), available.right()));
    at.moveLeft(std::max(at.left(), available.left()));
    at.moveTop(std::max(at.top(), available.top()));
  }
  return at.topLeft();
}

void placeBesideOwner(Panel& p) {
  if (p.placed()) return;
  const QWidget* owner = p.parentWidget() ? p.parentWidget()->window() : nullptr;
  if (!owner || !owner->isVisible()) return;  // placed once the main window shows
  std::vector<QRect> taken;
  for (const Panel* other : owner->findChildren<Panel*>()) {
    if (other != &p && other->isVisible()) taken.push_back(other->frameGeometry());
  }
  const QSize size = p.testAttribute(Qt::WA_Resized) ? p.frameGeometry().size()
                                                     : p.sizeHint().expandedTo(p.minimumSize());
  p.move(besideOwner(size, owner->frameGeometry(), desktopArea(), taken));
  p.markPlaced();
}

void placeNewPanels(TMyWindow& w) {
  for (int i = 0; i < int(PanelId::Count); ++i) {
    Panel* p = w.panel(PanelId(i));
    if (p && p->isVisible()) placeBesideOwner(*p);
  }
}

void restorePanels(TMyWindow& w, QSettings& settings) {
  const QRect area = desktopArea();
  for (int i = 0; i < int(PanelId::Count); ++i) {
    Panel* p = w.panel(PanelId(i));
    if (!p || !settings.contains(keyOf(*p, "pos"))) continue;
    const QRect saved(settings.value(keyOf(*p, "pos")).toPoint(), p->size());
    p->move(onScreen(saved, area, w.frameGeometry()).topLeft());
    p->markPlaced();
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
