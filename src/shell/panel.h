#pragma once
// The base of every modeless panel. A panel never changes the document: it stores what the user
// asked for in `action` and emits notify(); the main window's handler for the panel's message
// reads the panel's fields, takes the undo snapshot and applies the change.

#include <QDialog>
#include <QDockWidget>

namespace tovala {


// The private messages panels send the main window, numbered from the first user message.
enum class PanelMessage : int {
  None = 0,
  Control = 0x401,
  Paint = 0x402,
  LineList = 0x403,
  Move = 0x404,
  Joint = 0x405,
  CLine = 0x406,
  OLine = 0x407,
  EditTool = 0x408,
  Settings = 0x409,
  SettingsInner = 0x40A,  // handled inside the settings container, never by the window
  Objects = 0x40B,
  Timeline = 0x40C,
  Pose = 0x40D,
};

// Every panel the window owns, in creation order.
enum class PanelId : int {
  Control,   // dialog 110
  Paint,     // 114
  LineList,  // 116
  Move,      // 119
  Script,    // 118
  Joint,     // 123
  CLine,     // 124
  OLine,     // 128
  Settings,  // 130
  Objects,   // 135
  EditTool,  // 134
  Timeline,
  Pose,
  Count
};

class Panel : public QDialog {
  Q_OBJECT

 public:
  // A tool window until the main window docks it (dock_layout.h).
  Panel(PanelId id, PanelMessage message, QWidget* parent)
      : QDialog(parent, Qt::Tool), id_(id), message_(message) {}

  PanelId id() const { return id_; }

  // A docked panel is shown and hidden with its dock: the panel itself stays shown inside it,
  // so isVisible() tells whether the user can see it.
  void setVisible(bool visible) override {
    if (!dock_) {
      QDialog::setVisible(visible);
      return;
    }
    if (visible) QDialog::setVisible(true);
    dock_->setVisible(visible);
    if (visible) dock_->raise();  // its tab comes to the front
  }
  QDockWidget* dock() const { return dock_; }
  void setDock(QDockWidget* dock) { dock_ = dock; }
  PanelMessage message() const { return message_; }

  // Re-reads the document and shows it; the window calls this after changes.
  virtual void refresh() {}

  // The request the user made; read by the window's handler for this panel's message.
  int action = 0;

 signals:
  void notify(tovala::PanelMessage message);

 protected:
  // Stores the request and tells the window.
  void request(int code) {
    action = code;
    emit notify(message_);
  }

 private:
  PanelId id_;
  PanelMessage message_;
  QDockWidget* dock_ = nullptr;
};

}  // namespace tovala
