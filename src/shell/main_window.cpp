#include "shell/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include <system_error>

#include "model/work_folder.h"
#include "platform/ui.h"
#include "qtplatform/qt_ui.h"
#include "shell/canvas_widget.h"
#include "shell/core_calls.h"
#include "shell/file_drop.h"
#include "shell/menus.h"
#include "shell/motion_exit.h"
#include "shell/motion_mode.h"
#include "shell/paint_mode.h"
#include "shell/recent_files.h"
#include "shell/dock_layout.h"
#include "shell/panels/control/control_panel.h"
#include "shell/panels/control/line_list.h"
#include "shell/panels/edit_tool/edit_tool_window.h"
#include "shell/panels/joint/cline_panel.h"
#include "shell/panels/joint/joint_panel.h"
#include "shell/panels/body_shape/body_shape_keeper.h"
#include "shell/panels/joint/oline_panel.h"
#include "shell/panels/objects/objects_panel_window.h"
#include "shell/panels/pose/pose_panel_window.h"
#include "shell/panels/properties/settings_panel.h"
#include "shell/panels/script/script_panel.h"
#include "shell/panels/timeline/timeline.h"
#include "shell/window_chrome.h"
#include "shell/window_placement.h"

namespace tovala {

namespace {
constexpr const char* kTitle = "トヴァラ";
constexpr const char* kSaveChanges = "変更を保存しますか?";
constexpr const char* kUntitled = "無題";
constexpr const char* kDefaultProjectName = "noname.tov";
}  // namespace

TMyWindow::TMyWindow(Ui* ui) {
  if (!ui) {
    qtUi_ = std::make_unique<QtUi>(this);
    ui = qtUi_.get();
  }
  ui_ = ui;
  doc_.ui = ui_;
  created_ = 0;

  setObjectName("TMyWindow");
  connect(&session_, &DocumentSession::modifiedChanged, this, &QWidget::setWindowModified);
  connect(&session_, &DocumentSession::pathChanged, this, &TMyWindow::showTitle);
  connect(&session_, &DocumentSession::redrawRequested, this, &TMyWindow::compose);
  showTitle();
  resize(800, 600);
  canvas_ = new CanvasWidget(*this, this);
  setCentralWidget(canvas_);
  installCoreCalls(*this);
  commands_ = buildCommandTable();
  menuBar()->setObjectName("mainmenu");  // filled once every part has declared its commands
  registerHandlers();

  doc_.create();
  view_ = ViewState{};
  resetScrolling();
  clearMouse();
  installControlPanel(*this);
  installLineList(*this);
  installSettingsPanel(*this);
  installMotionMode(*this);
  installScriptPanel(*this);
  installEditTool(*this);
  installJointPanel(*this);
  installCLinePanel(*this);
  installOLinePanel(*this);
  installPaintMode(*this);
  installObjectsPanel(*this);
  installTimeline(*this);
  installPosePanel(*this);
  // The shape beside an opened project follows it from the start, through 名前を付けて保存 too.
  BodyShapeKeeper::of(session_);
  addWindowCommands(*this);
  buildMenus();
  installToolbar(*this);
  showDebugCommands(*this, false);
  installRecentFiles(*this);
  installFileDrop(*this);
  applyDefaultLayout(*this);
  new WindowPlacer(*this);

  session_.undoRing().init(doc_);
  session_.paintRing().reset();
  created_ = 1;
  doc_.edit.tempMode = 0;
  prepareTempFolder();

  rebuild();
  resetScrolling();
  canvas_->setFocus();
}

// The window and its panels are hidden while the session and the window are still whole: what
// the panels' hiding sets off (a preview ending, the onion skin) may still reach the document.
TMyWindow::~TMyWindow() { hide(); }

void TMyWindow::buildMenus() {
  menuBar()->setObjectName("mainmenu");
  auto trigger = [this](int id) { runCommand(id); };
  // A menu that opens while Z is held takes the key's release: the side view ends here, before
  // the rules run, so it never outlives the key.
  auto update = [this](QAction* a, int id) {
    if (sideView()) setSideView(false);
    updateAction(a, id);
  };
  buildMenuBar(menuBar(), mainMenuTree(), trigger, update);
  placeDeclaredCommands(menuBar(), commands_, trigger, update);
  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName("111");
  buildMenu(contextMenu_, contextMenuTree(), trigger, update);
}

void TMyWindow::updateAction(QAction* action, int id) {
  const Command* c = commands_.find(id);
  const CommandState s = commands_.state(*this, id);
  action->setEnabled(s.enabled);
  // A disabled item says why; an enabled one shows no tip.
  const QString why = s.enabled || !s.reason ? QString() : QString::fromUtf8(s.reason);
  action->setToolTip(why.isEmpty() ? action->text() : why);
  action->setStatusTip(why);
  const bool checkable = c && c->checkable;
  action->setCheckable(checkable);
  if (checkable) action->setChecked(s.checked);
}

void TMyWindow::prepareTempFolder() {
  std::error_code ec;
  const std::filesystem::path root = workRootHere();
  paths_.startFolder = root.string();
  const std::filesystem::path temp = root / "temp";
  // A folder that cannot be made is not reported here; the first file snapshot reports it.
  if (!std::filesystem::is_directory(temp, ec)) std::filesystem::create_directories(temp, ec);
  session_.undoRing().setFolder(temp);
}

// --- panels ------------------------------------------------------------------------------------

void TMyWindow::installPanel(Panel* panel, bool visible) {
  panels_[size_t(panel->id())] = panel;
  connect(panel, &Panel::notify, this, [this](PanelMessage m) { onPanelMessage(m); });
  dockPanel(*this, *panel);
  panel->setVisible(visible);
}

bool TMyWindow::panelVisible(PanelId id) const {
  const Panel* p = panel(id);
  return p && p->isVisible();
}

void TMyWindow::showPanel(PanelId id, bool show) {
  if (Panel* p = panel(id)) p->setVisible(show);
}

void TMyWindow::refreshPanel(PanelId id) {
  if (Panel* p = panel(id)) p->refresh();
}

void TMyWindow::setPanelHandler(PanelMessage message, std::function<void(Panel&)> handler) {
  panelHandlers_[message] = std::move(handler);
}

void TMyWindow::onPanelMessage(PanelMessage message) {
  auto it = panelHandlers_.find(message);
  if (it == panelHandlers_.end()) return;
  for (Panel* p : panels_) {
    if (p && p->message() == message) {
      it->second(*p);
      return;
    }
  }
}

// --- redraw ------------------------------------------------------------------------------------

void TMyWindow::rebuild() {
  if (core().rebuildLayers) core().rebuildLayers(doc_);
  refreshSelected();
}

void TMyWindow::refreshSelected() {
  if (core().refreshSelected) core().refreshSelected(doc_);
}

void TMyWindow::compose() {
  if (!created_) return;
  // Marks and picks are measured on the screen: the view's zoom and the screen's pixel ratio.
  doc_.edit.viewZoom = view_.zoom;
  doc_.edit.deviceRatio = float(canvas_->devicePixelRatioF());
  if (core().buildDisplay) core().buildDisplay(doc_);
  drawObjectsPickMarks(*this);
  // Every change ends here: the script editor follows a selection changed by anything (a
  // deletion, undo, the line list, a script), not only by the mouse.
  refreshPanel(PanelId::Script);
  view_.setContent(doc_.imageWidth, doc_.imageHeight);
  canvas_->showDisplay();
}

void TMyWindow::resetScrolling() {
  compose();
  QWidget* vp = canvas_->viewport();
  view_.resetScrolling(vp->width(), vp->height());
  canvas_->applyScrollRecords();
}

void TMyWindow::zoomIn() {
  if (view_.zoomIn()) resetScrolling();
}

void TMyWindow::zoomOut() {
  if (!view_.zoomOut()) return;
  resetScrolling();
  canvas_->viewport()->repaint();
}

// --- the document's file and closing -----------------------------------------------------------

// "name.tov[*] - トヴァラ", or "無題" for a document never saved; Qt shows the mark for "[*]".
void TMyWindow::showTitle() {
  const std::string& path = session_.path();
  const QString name = path.empty() ? QString::fromUtf8(kUntitled)
                                    : QFileInfo(QString::fromStdString(path)).fileName();
  setWindowTitle(name + QStringLiteral("[*] - ") + QString::fromUtf8(kTitle));
}

bool TMyWindow::saveProjectAs(const std::string& proposedName) {
  if (!core().saveProject) return false;
  FileRequest request;
  request.save = true;
  request.filter = "TOVファイル|*.tov||";
  request.defaultExtension = "*.tov";
  request.initialName = proposedName;
  const std::optional<std::string> path = ui_->chooseFile(request);
  if (!path) return false;
  paths_.project = *path;
  return session_.save(*path);
}

// The last name typed may be a file that failed to open or one the user never meant to write;
// a save proposes the document's own file, or the default name for a new document.
std::string TMyWindow::proposedProjectName() const {
  return session_.path().empty() ? std::string(kDefaultProjectName) : session_.path();
}

bool TMyWindow::offerSave() {
  if (!modified()) return true;
  switch (ui_->ask(kSaveChanges, "確認", Buttons::YesNoCancel)) {
    case Answer::Yes:
      // A cancelled or failed save keeps everything as it was, so nothing is lost by accident.
      return saveProjectAs(proposedProjectName());
    case Answer::No: return true;
    default: return false;
  }
}

void TMyWindow::closeEvent(QCloseEvent* event) {
  event->setAccepted(offerSave());
  if (event->isAccepted() && panelSettings_) saveLayout(*this, *panelSettings_);
}

void TMyWindow::keepPanelsIn(QSettings* settings) {
  panelSettings_ = settings;
  if (RecentFiles* recent = recentFilesOf(*this)) recent->setSettings(settings);
  startLayout(*this, settings);
}

}  // namespace tovala

namespace tovala {

void TMyWindow::registerHandlers() {
  modes_.add(kModeSelect, makeSelectMode());
  modes_.add(kModeAddLine, makeAddLineMode());
  modes_.add(kModeAddPoint, makeAddPointMode());
  modes_.add(kModeMoveAll, makeMoveAllMode());
  modes_.add(kModeDeform, makeDeformMode());
  modes_.add(kModeMovePoints, makeMovePointsMode());
  for (int shape = 1; shape <= 4; ++shape) tempModes_.add(shape, makeShapeTempMode(shape));
  tempModes_.add(20, makeRotateTempMode());
  tempModes_.add(22, makeRangeSelectTempMode());
  leaveMotion = [](TMyWindow& w) { leaveMotionPose(w.doc()); };
}

}  // namespace tovala
