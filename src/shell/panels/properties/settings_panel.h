#pragma once
// "設定" (dialog 130): a tab control with the pages "線", "点" and "環境" (the line, point and
// document property pages) and the check box "16進数表示", which the container hands to every
// page. Pages tell the container of a change (message 0x40A with an action code); the container
// passes the code on to the window as 0x409.

#include <QWidget>

#include <array>

#include "shell/panel.h"

class QCheckBox;
class QTabWidget;

namespace tovala {

class TMyWindow;

// What a page of the container offers it.
class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  // Re-reads the document.
  virtual void refresh() {}
  // Integer fields shown and read in hexadecimal while set.
  virtual void setHex(bool hex) { hex_ = hex; }
  bool hex() const { return hex_; }

 signals:
  void notify(int code);

 private:
  bool hex_ = false;
};

class SettingsPanel : public Panel {
  Q_OBJECT

 public:
  static constexpr int kTabs = 3;
  // Action codes the window acts on.
  static constexpr int kUndoKindChanged = 101;  // "戻す切替" changed
  static constexpr int kCanvasChanged = 102;    // canvas size or background colour changed

  explicit SettingsPanel(QWidget* parent);

  // Puts `page` on tab 0 ("線"), 1 ("点") or 2 ("環境"), replacing what was there.
  void setPage(int tab, SettingsPage* page);
  SettingsPage* page(int tab) const;
  void showTab(int tab);
  int currentTab() const;
  bool hexDisplay() const;
  // The current tab's page from the document.
  void refresh() override;

  QTabWidget* tabs() const { return tabs_; }
  QCheckBox* hexBox() const { return hex_; }
  // The page whose notification the window is hearing.
  SettingsPage* notifier() const { return notifier_; }

 private:
  void setHex(bool hex);

  QTabWidget* tabs_;
  QCheckBox* hex_;
  std::array<SettingsPage*, kTabs> pages_{};
  SettingsPage* notifier_ = nullptr;
};

// The window's answer to 0x409.
void applySettingsAction(TMyWindow& w, int code);
// Creates the container hidden and installs its message handler.
void installSettingsPanel(TMyWindow& w);

}  // namespace tovala
