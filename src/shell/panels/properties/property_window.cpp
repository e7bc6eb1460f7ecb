// The window's side of the property pages: their requests applied to the document behind one
// undo step, then the redraw and the panels that show what changed.

#include "model/document.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/panels/properties/property_page.h"

namespace tovala {

namespace {

constexpr const char* kSnapshotReason = "OnTovSettingDlg";
constexpr const char* kMessageCaption = "メッセージ";

void applyPageRequest(TMyWindow& w, PropertyPage& page) {
  const PropertyRequest& r = page.pending();
  const PropertyOutcome o = applyPropertyRequest(w.doc(), r, [&w](WriteNotice notice) {
    // A new undo kind starts both rings again before it is stored, so nothing is taken there.
    if (notice == WriteNotice::UndoKind)
      applySettingsAction(w, SettingsPanel::kUndoKindChanged);
    else
      w.session().snapshot(kSnapshotReason);
  });
  if (r.kind == PropertyRequest::Kind::List) page.setEntryRow(o.row);
  // The snapshot, when one was due, was taken inside the apply, before the write.
  if (o.write.changed) {
    if (o.write.notice == WriteNotice::Canvas) {
      applySettingsAction(w, SettingsPanel::kCanvasChanged);
      w.session().changed(Redraw::None);
    } else {
      w.session().changed(Redraw::All);
    }
  }
  if (!o.message.empty()) w.ui().message(o.message, kMessageCaption);
  // Shows what was stored, which for refused or corrected text differs from what was typed.
  page.refresh();
}

}  // namespace

void installPropertyPages(TMyWindow& w) {
  auto* settings = static_cast<SettingsPanel*>(w.panel(PanelId::Settings));
  if (!settings) return;
  settings->setPage(0, makeLinePage(w.doc()));
  settings->setPage(1, makePointPage(w.doc()));
  settings->setPage(2, makeEnvironmentPage(w.doc()));
  w.setPanelHandler(PanelMessage::Settings, [&w](Panel& p) {
    auto& s = static_cast<SettingsPanel&>(p);
    auto* page = qobject_cast<PropertyPage*>(s.notifier());
    if (p.action == kPropertyWrite && page)
      applyPageRequest(w, *page);
    else
      applySettingsAction(w, p.action);
  });
}

}  // namespace tovala
