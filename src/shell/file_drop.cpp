#include "shell/file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QObject>
#include <QUrl>

#include "shell/command_rules.h"
#include "shell/core_calls.h"
#include "shell/main_window.h"
#include "shell/recent_files.h"

namespace tovala {

namespace {

constexpr const char* kCaption = "注意";

// The first local file a drag carries, or "".
std::string firstFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile().toStdString();
  return {};
}

class DropFilter : public QObject {
 public:
  explicit DropFilter(TMyWindow& w) : QObject(&w), w_(w) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &w_) return false;
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (droppedKind(firstFile(e->mimeData())) == DroppedKind::None) return false;
        e->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const std::string path = firstFile(e->mimeData());
        if (droppedKind(path) == DroppedKind::None) return false;
        e->acceptProposedAction();
        dropFile(w_, path);
        return true;
      }
      default: return false;
    }
  }

 private:
  TMyWindow& w_;
};

}  // namespace

DroppedKind droppedKind(const std::string& path) {
  if (path.empty()) return DroppedKind::None;
  const QString ext = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (ext == "tov") return DroppedKind::Project;
  if (ext == "tovp") return DroppedKind::Parts;
  if (ext == "bmp" || ext == "png" || ext == "jpg" || ext == "jpeg") return DroppedKind::Picture;
  return DroppedKind::None;
}

bool dropFile(TMyWindow& w, const std::string& path) {
  const DroppedKind kind = droppedKind(path);
  // Opening and merging change the figure, which motion mode does not allow (as their menu
  // items); the underlay is only the picture behind it.
  if ((kind == DroppedKind::Project || kind == DroppedKind::Parts) && w.motion()) {
    w.ui().message(kInMotionReason, kCaption);
    return false;
  }
  switch (kind) {
    case DroppedKind::Project: return openRecentProject(w, path);
    case DroppedKind::Parts: return mergePartsFile(w, path);
    case DroppedKind::Picture: return layUnderlay(w, path);
    case DroppedKind::None: break;
  }
  return false;
}

bool mergePartsFile(TMyWindow& w, const std::string& path) {
  w.paths().parts = path;
  if (!core().loadParts || !core().loadParts(w.doc(), path)) return false;
  w.session().changed(Redraw::All);
  return true;
}

bool layUnderlay(TMyWindow& w, const std::string& path) {
  w.paths().image = path;
  if (!w.doc().workImages.loadPicture(kUnderlayImage, path, w.ui())) return false;
  w.doc().showUnderlay = 1;
  w.session().changed(Redraw::None);
  return true;
}

void installFileDrop(TMyWindow& w) {
  w.setAcceptDrops(true);
  w.installEventFilter(new DropFilter(w));
}

}  // namespace tovala
