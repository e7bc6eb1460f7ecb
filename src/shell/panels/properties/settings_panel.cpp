#include "shell/panels/properties/settings_panel.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/document.h"
#include "shell/main_window.h"
#include "shell/panels/properties/property_page.h"

namespace tovala {

namespace {
constexpr const char* kTabNames[SettingsPanel::kTabs] = {"線", "点", "環境"};
}

SettingsPanel::SettingsPanel(QWidget* parent)
    : Panel(PanelId::Settings, PanelMessage::Settings, parent) {
  setObjectName("130");
  setWindowTitle(QString::fromUtf8("設定"));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget;
  tabs_->setObjectName("1101");
  hex_ = new QCheckBox(QString::fromUtf8("16進数表示"));
  hex_->setObjectName("1184");
  layout->addWidget(tabs_);
  layout->addWidget(hex_);
  for (int t = 0; t < kTabs; ++t) setPage(t, new SettingsPage);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { refresh(); });
  connect(hex_, &QCheckBox::toggled, this, [this](bool on) { setHex(on); });
}

void SettingsPanel::setPage(int tab, SettingsPage* page) {
  if (tab < 0 || tab >= kTabs || !page) return;
  const int current = tabs_->currentIndex();
  const QSignalBlocker block(tabs_);
  if (pages_[size_t(tab)]) {
    tabs_->removeTab(tab);
    if (notifier_ == pages_[size_t(tab)]) notifier_ = nullptr;
    delete pages_[size_t(tab)];
  }
  pages_[size_t(tab)] = page;
  page->setHex(hexDisplay());
  tabs_->insertTab(tab, page, QString::fromUtf8(kTabNames[tab]));
  // The page's notifications are the container's 0x40A; the window hears them as 0x409.
  connect(page, &SettingsPage::notify, this, [this, page](int code) {
    notifier_ = page;
    request(code);
  });
  tabs_->setCurrentIndex(current < 0 ? 0 : current);
}

SettingsPage* SettingsPanel::page(int tab) const {
  return tab >= 0 && tab < kTabs ? pages_[size_t(tab)] : nullptr;
}

void SettingsPanel::showTab(int tab) { tabs_->setCurrentIndex(tab); }
int SettingsPanel::currentTab() const { return tabs_->currentIndex(); }
bool SettingsPanel::hexDisplay() const { return hex_->isChecked(); }

void SettingsPanel::refresh() {
  if (SettingsPage* p = page(currentTab())) p->refresh();
}

void SettingsPanel::setHex(bool hex) {
  for (SettingsPage* p : pages_) p->setHex(hex);
  refresh();
}

void applySettingsAction(TMyWindow& w, int code) {
  switch (code) {
    case SettingsPanel::kUndoKindChanged:
      w.session().resetUndo();
      w.undoRing().justOpened = true;
      break;
    case SettingsPanel::kCanvasChanged:
      w.doc().recreateWorkImages();
      w.rebuild();
      w.compose();
      break;
    default: break;
  }
}

void installSettingsPanel(TMyWindow& w) {
  auto* panel = new SettingsPanel(&w);
  w.setPanelHandler(PanelMessage::Settings, [&w](Panel& p) { applySettingsAction(w, p.action); });
  w.installPanel(panel, false);
  installPropertyPages(w);
}

}  // namespace tovala
