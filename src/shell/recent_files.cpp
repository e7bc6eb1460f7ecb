#include "shell/recent_files.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "shell/command_rules.h"
#include "shell/main_window.h"

namespace tovala {

namespace {

constexpr const char* kSettingsKey = "recentFiles";
constexpr const char* kMenuTitle = "最近使ったファイル";
constexpr const char* kFileMenuTitle = "ファイル";
constexpr const char* kOpenMenuTitle = "読込";
constexpr const char* kRemoveMissing = "見つからないファイルを一覧から消す";
constexpr const char* kClearList = "一覧を消去";
constexpr const char* kNoFiles = "(なし)";
constexpr const char* kMissing = "見つかりません: ";

QString absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

bool present(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace

RecentFiles::RecentFiles(QObject* parent) : QObject(parent) { setObjectName("recentFiles"); }

void RecentFiles::setSettings(QSettings* settings) {
  settings_ = settings;
  if (!settings_) return;
  QStringList read = settings_->value(kSettingsKey).toStringList();
  read.removeAll(QString());
  read.removeDuplicates();
  while (read.size() > kMaxFiles) read.removeLast();
  paths_ = read;
  emit changed();
}

void RecentFiles::add(const QString& path) {
  if (path.isEmpty()) return;
  const QString full = absolute(path);
  paths_.removeAll(full);
  paths_.prepend(full);
  while (paths_.size() > kMaxFiles) paths_.removeLast();
  store();
}

void RecentFiles::remove(const QString& path) {
  if (paths_.removeAll(path) > 0) store();
}

int RecentFiles::removeMissing() {
  const qsizetype before = paths_.size();
  paths_.removeIf([](const QString& p) { return !present(p); });
  const int gone = int(before - paths_.size());
  if (gone > 0) store();
  return gone;
}

void RecentFiles::clear() {
  paths_.clear();
  store();
}

void RecentFiles::store() {
  if (settings_) settings_->setValue(kSettingsKey, paths_);
  emit changed();
}

RecentFiles* recentFilesOf(TMyWindow& w) {
  return w.findChild<RecentFiles*>("recentFiles", Qt::FindDirectChildrenOnly);
}

bool openRecentProject(TMyWindow& w, const std::string& path) {
  if (w.motion() || !w.offerSave()) return false;
  w.paths().project = path;
  return w.openProject(path);
}

void fillRecentMenu(TMyWindow& w, QMenu* menu) {
  menu->clear();
  RecentFiles* recent = recentFilesOf(w);
  if (!recent || recent->paths().isEmpty()) {
    menu->addAction(QString::fromUtf8(kNoFiles))->setEnabled(false);
    return;
  }
  // Opening replaces the document, which motion mode does not allow (as 普通読込).
  const CommandState open = w.commands().state(w, 40001);
  bool anyMissing = false;
  int number = 1;
  for (const QString& path : recent->paths()) {
    const QString text = QStringLiteral("&%1 %2").arg(number++ % 10).arg(QFileInfo(path).fileName());
    QAction* a = menu->addAction(text);
    const bool there = present(path);
    anyMissing = anyMissing || !there;
    a->setEnabled(there && open.enabled);
    const QString tip = !there                ? QString::fromUtf8(kMissing) + path
                        : open.reason != nullptr ? QString::fromUtf8(open.reason)
                                                 : path;
    a->setToolTip(tip);
    a->setStatusTip(tip);
    a->setData(path);
    QObject::connect(a, &QAction::triggered, menu,
                     [&w, path] { openRecentProject(w, path.toStdString()); });
  }
  menu->addSeparator();
  QAction* prune = menu->addAction(QString::fromUtf8(kRemoveMissing));
  prune->setObjectName("recentRemoveMissing");
  prune->setEnabled(anyMissing);
  QObject::connect(prune, &QAction::triggered, recent, [recent] { recent->removeMissing(); });
  QAction* clear = menu->addAction(QString::fromUtf8(kClearList));
  clear->setObjectName("recentClear");
  QObject::connect(clear, &QAction::triggered, recent, [recent] { recent->clear(); });
}

void installRecentFiles(TMyWindow& w) {
  auto* recent = new RecentFiles(&w);
  // Every file the document is opened from or saved to goes to the front.
  QObject::connect(&w.session(), &DocumentSession::pathChanged, recent, [&w, recent] {
    if (!w.session().path().empty()) recent->add(QString::fromStdString(w.session().path()));
  });

  // ファイル → 最近使ったファイル, below 読込.
  QMenu* fileMenu = nullptr;
  for (QAction* a : w.menuBar()->actions())
    if (a->menu() && a->text() == QString::fromUtf8(kFileMenuTitle)) fileMenu = a->menu();
  if (!fileMenu) return;
  auto* menu = new QMenu(QString::fromUtf8(kMenuTitle), fileMenu);
  menu->setObjectName("recentMenu");
  menu->setToolTipsVisible(true);
  QAction* before = nullptr;
  const QList<QAction*> items = fileMenu->actions();
  for (qsizetype i = 0; i + 1 < items.size(); ++i)
    if (items[i]->menu() && items[i]->text() == QString::fromUtf8(kOpenMenuTitle)) before = items[i + 1];
  fileMenu->insertMenu(before, menu);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [&w, menu] { fillRecentMenu(w, menu); });
}

}  // namespace tovala
