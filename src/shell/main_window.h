#pragma once
// TMyWindow, the editor's one top-level window. It owns the document, the undo rings, the view
// and every panel; mouse, keys, menus and panel messages all end up here, and every change ends
// with compose(), which redraws the canvas.

#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "engine/edit_modes.h"
#include "model/document.h"
#include "shell/command_table.h"
#include "shell/document_session.h"
#include "shell/modes/mode_handler.h"
#include "shell/panel.h"
#include "shell/view_state.h"

class QMenu;
class QSettings;

namespace tovala {

class CanvasWidget;
class QtUi;
class Ui;

inline constexpr int kSubModeReleased = 3;
inline constexpr int kSubModeNoHandles = 103;

struct MouseState {
  int leftDown = 0;
  bool snapshotOnDrag = false;  // a press that hit nothing: the drag, if any, takes the step
  CanvasPoint current, press, release;
};

// The last paths the file dialogs used; each opens on its own.
struct PathBuffers {
  std::string startFolder;
  std::string image = "noname.bmp";
  std::string project = "noname.tov";
  std::string parts = "noname.tovp";
  std::string face = "sample.fmk";
};

// What the temporary modes picked: line, point, hit-guide index and a fourth value, the end
// pick of the two-point mode, and that mode's phase.
struct TempPicks {
  std::array<int, 4> first{-1, -1, -1, -1};
  std::array<int, 4> second{-1, -1, -1, -1};
  int phase = 0;
};

class TMyWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `ui` answers every message box and file dialog; nullptr uses real Qt dialogs.
  explicit TMyWindow(Ui* ui = nullptr);
  ~TMyWindow() override;

  // The document, its animation, undo rings and file: every edit goes through it.
  DocumentSession& session() { return session_; }
  Document& doc() { return session_.doc(); }
  Ui& ui() { return *ui_; }
  ViewState& view() { return view_; }
  UndoRing& undoRing() { return session_.undoRing(); }
  PathBuffers& paths() { return paths_; }
  MouseState& mouse() { return mouse_; }
  TempPicks& picks() { return picks_; }
  CommandTable& commands() { return commands_; }
  HandlerTable<ModeHandler>& modes() { return modes_; }
  HandlerTable<TempModeHandler>& tempModes() { return tempModes_; }
  CanvasWidget* canvas() { return canvas_; }
  QMenu* contextMenu() { return contextMenu_; }
  bool created() const { return created_ != 0; }

  // --- panels ------------------------------------------------------------------------------
  // Panels are installed by the parts of the editor that build them; until then a panel is
  // simply absent and everything that would show, hide or refresh it does nothing.
  void installPanel(Panel* panel, bool visible);
  Panel* panel(PanelId id) const { return panels_[size_t(id)]; }
  bool panelVisible(PanelId id) const;
  void showPanel(PanelId id, bool show);
  void refreshPanel(PanelId id);
  // The window's answer to one panel message; replaces any earlier one for that message.
  void setPanelHandler(PanelMessage message, std::function<void(Panel&)> handler);
  int editBusy = 0;          // an edit-tool interaction is open
  int objectsPickState = 0;  // the objects panel waits for a pick on the canvas

  // --- redraw ------------------------------------------------------------------------------
  // Every layer again (lines other than the selected one changed), then the selected line.
  void rebuild();
  // The selected line's layer and the model picture.
  void refreshSelected();
  // The display buffer from the model picture, then the window; the only way the canvas is drawn.
  void compose();
  void resetScrolling();
  void zoomIn();
  void zoomOut();

  // --- modes -------------------------------------------------------------------------------
  // Stores `mode` and runs the mode change with the previous one.
  void setMode(int mode, const char* name);
  void modeChange(int previousMode, const char* name);
  // Motion mode's entry and exit, supplied by the part of the editor that runs motion mode.
  std::function<void(TMyWindow&)> enterMotion;
  std::function<void(TMyWindow&)> leaveMotion;
  void selectionChanged(int previousLine, int previousPoint);
  void cancelTempMode();
  bool motion() const { return session_.doc().edit.mode == kModeMotion; }
  bool hasLines() const { return session_.doc().lineCount() > 1; }
  bool lineSelected() const { return hasLines() && session_.doc().isValidLine(session_.doc().curLine); }
  bool pointSelected() const {
    return session_.doc().isValidPick(session_.doc().curLine, session_.doc().curPoint) == 1;
  }

  // --- side view ---------------------------------------------------------------------------
  bool sideView() const { return session_.sideView(); }
  void setSideView(bool on);

  // --- undo (the snapshots are the session's) ------------------------------------------------
  void undo();
  void redo();

  // --- commands and mouse ------------------------------------------------------------------
  bool runCommand(int id) { return commands_.execute(*this, id); }
  void leftDown(CanvasPoint p);
  void mouseMoved(CanvasPoint p);
  void leftUp(CanvasPoint p);
  void rightDown(CanvasPoint p, const QPoint& globalPos);
  void rightUp(CanvasPoint p);
  // The cursor hovering at `p` asks for; the canvas cursor when nothing applies.
  Qt::CursorShape hoverCursor(CanvasPoint p);
  void clearMouse() { mouse_ = MouseState{}; }
  // Menu states as the rules give them; the menus run this for their own items when they open.
  void updateAction(QAction* action, int id);

  // --- the session's file state, for reading ------------------------------------------------
  // Unsaved changes; the title bar's mark follows it.
  bool modified() const { return session_.modified(); }
  // The file the document was opened from or last saved to; "" for a document never saved.
  const std::string& documentPath() const { return session_.path(); }

  // --- projects ------------------------------------------------------------------------------
  // Asks for a name, proposing `proposedName`, and saves; false when cancelled or failed.
  bool saveProjectAs(const std::string& proposedName);
  // The name a save dialog proposes: the document's own file, or the default name for a new one.
  std::string proposedProjectName() const;
  // Asked before anything that would lose unsaved changes (closing, replacing the document):
  // "変更を保存しますか?" with Yes/No/Cancel, Yes saving under the document's own name. True when
  // the caller may go on: nothing to save, saved, or declined.
  bool offerSave();
  // Opens a project (the command after its dialog, and a file named on the command line).
  bool openProject(const std::string& path);

  // Keeps the window's geometry and its docks in `settings` between runs: restored now (the
  // default layout sized to the screen on a first start), saved when the window closes. Without
  // settings nothing is kept. Call once the window is shown.
  void keepPanelsIn(QSettings* settings);
  // The settings kept between runs; nullptr when nothing is kept (tests, by default).
  QSettings* settings() const { return panelSettings_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void registerHandlers();
  void prepareTempFolder();
  void onPanelMessage(PanelMessage message);
  void finishStep(const StepResult& r, int previousLine, int previousPoint);
  void showTitle();

  DocumentSession session_;
  Document& doc_ = session_.doc();
  std::unique_ptr<QtUi> qtUi_;
  Ui* ui_;
  int created_ = 0;
  ViewState view_;
  MouseState mouse_;
  PathBuffers paths_;
  TempPicks picks_;
  CommandTable commands_;
  HandlerTable<ModeHandler> modes_;
  HandlerTable<TempModeHandler> tempModes_;
  std::array<Panel*, size_t(PanelId::Count)> panels_{};
  std::map<PanelMessage, std::function<void(Panel&)>> panelHandlers_;
  CanvasWidget* canvas_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QSettings* panelSettings_ = nullptr;
};

}  // namespace tovala
