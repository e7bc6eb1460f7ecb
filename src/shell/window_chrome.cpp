#include "shell/window_chrome.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "shell/command_table.h"
#include "shell/dock_layout.h"
#include "shell/main_window.h"
#include "shell/menus.h"
#include "shell/panels/export/export_dialog.h"

namespace tovala {

namespace {

// How often the buttons ask their rules again: the rules read the document, which changes in
// many ways (edits, undo, modes, opening), and a button should never offer what would refuse.
constexpr int kStateRefreshMs = 300;

struct ToolButton {
  int id;
  const char* themeIcon;  // freedesktop icon name
  const char* ownIcon;    // :/icons/NAME.png
  const char* keys;       // the shortcut the canvas answers to, when the menu's label has none
};

constexpr ToolButton kButtons[] = {
    {40044, "document-new", "new", nullptr},
    {40001, "document-open", "open", nullptr},
    {40030, "document-save", "save", nullptr},
    {kCommandExport, "document-export", "export", nullptr},
    {0, nullptr, nullptr, nullptr},
    {40021, "edit-undo", "undo", "Ctrl+Z"},
    {40022, "edit-redo", "redo", "Ctrl+Y"},
    {0, nullptr, nullptr, nullptr},
    {kCommandZoomIn, "zoom-in", "zoom-in", nullptr},
    {kCommandZoomOut, "zoom-out", "zoom-out", nullptr},
    {kCommandFitToWindow, "zoom-fit-best", "fit", nullptr},
    {0, nullptr, nullptr, nullptr},
    {40031, "media-playback-start", "motion", nullptr},
    {40064, "view-list-icons", "object-view", nullptr},
};

// The menu's label of `id` split into the command's name and its shortcut: "拡大\tCtrl++" and
// "元に戻す Ctrl+Z" both name the key after the words.
std::pair<QString, QString> labelOf(const std::vector<QAction*>& menuActions, int id) {
  for (const QAction* a : menuActions) {
    if (a->data().toInt() != id) continue;
    QString text = a->text();
    QString keys;
    const qsizetype tab = text.indexOf('\t');
    if (tab >= 0) {
      keys = text.mid(tab + 1);
      text.truncate(tab);
    } else if (const qsizetype ctrl = text.indexOf(QStringLiteral(" Ctrl")); ctrl >= 0) {
      keys = text.mid(ctrl + 1);
      text.truncate(ctrl);
    }
    if (keys.isEmpty() && !a->shortcut().isEmpty())
      keys = a->shortcut().toString(QKeySequence::NativeText);
    return {text.trimmed(), keys.trimmed()};
  }
  return {};
}

}  // namespace

const std::vector<int>& toolbarCommands() {
  static const std::vector<int> ids = [] {
    std::vector<int> out;
    for (const ToolButton& b : kButtons) out.push_back(b.id);
    return out;
  }();
  return ids;
}

void addWindowCommands(TMyWindow& w) {
  w.commands().set({kCommandResetLayout, "", resetLayout, nullptr, false, false,
                    {"レイアウトを初期化", "表示", kCommandFitToWindow, true}});
}

QToolBar* installToolbar(TMyWindow& w) {
  auto* bar = new QToolBar(QString::fromUtf8("ツールバー"), &w);
  bar->setObjectName("toolbar");
  bar->setIconSize(QSize(24, 24));
  const std::vector<QAction*> menuActions = commandActions(w.menuBar());
  std::vector<std::pair<QAction*, int>> buttons;
  for (const ToolButton& b : kButtons) {
    if (b.id == 0) {
      bar->addSeparator();
      continue;
    }
    // A command not part of this editor (yet) has no button.
    if (!w.commands().find(b.id)) continue;
    auto [name, keys] = labelOf(menuActions, b.id);
    if (keys.isEmpty() && b.keys) keys = QString::fromLatin1(b.keys);
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(b.themeIcon),
                                        QIcon(QStringLiteral(":/icons/%1.png").arg(b.ownIcon)));
    // The text is the tooltip the rules show while the button is enabled.
    QAction* a = bar->addAction(icon, keys.isEmpty() ? name : name + " (" + keys + ")");
    a->setData(b.id);
    const int id = b.id;
    QObject::connect(a, &QAction::triggered, &w, [&w, id] { w.runCommand(id); });
    buttons.emplace_back(a, b.id);
  }
  w.addToolBar(Qt::TopToolBarArea, bar);
  auto refresh = [&w, buttons] {
    for (const auto& [a, id] : buttons) w.updateAction(a, id);
  };
  refresh();
  auto* timer = new QTimer(bar);
  QObject::connect(timer, &QTimer::timeout, bar, refresh);
  timer->start(kStateRefreshMs);
  return bar;
}

void showDebugCommands(TMyWindow& w, bool shown) {
  for (QAction* a : commandActions(w.menuBar())) {
    const int id = a->data().toInt();
    if (id == 40027 || id == 40048) a->setVisible(shown);
  }
}

}  // namespace tovala
