#include "shell/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/command_table.h"

namespace tovala {

namespace {

MenuNode item(const char* text, int id) { return {text, id, {}}; }
MenuNode popup(const char* text, std::vector<MenuNode> children) { return {text, 0, std::move(children)}; }
MenuNode separator() { return {}; }

// Before a menu shows, its items take their states from the rules.
void connectUpdates(QMenu* menu, const StateUpdater& update) {
  // A disabled item says why in its tooltip.
  menu->setToolTipsVisible(true);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, update] {
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator() && !a->menu() && a->data().toInt() != 0) update(a, a->data().toInt());
    }
  });
  // A shortcut works whatever the menu showed when it was last open: the command's rule is
  // asked again when the key is pressed.
  QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
    for (QAction* a : menu->actions())
      if (!a->shortcut().isEmpty()) a->setEnabled(true);
  });
}

QAction* commandAction(QMenu* menu, const char* text, int id, const char* shortcut,
                       const Trigger& trigger) {
  auto* a = new QAction(QString::fromUtf8(text), menu);
  a->setData(id);
  if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  QObject::connect(a, &QAction::triggered, menu, [trigger, id] { trigger(id); });
  return a;
}

void fill(QMenu* menu, const std::vector<MenuNode>& nodes, const Trigger& trigger,
          const StateUpdater& update) {
  connectUpdates(menu, update);
  for (const MenuNode& n : nodes) {
    if (!n.text) {
      menu->addSeparator();
    } else if (n.id == 0) {
      QMenu* sub = menu->addMenu(QString::fromUtf8(n.text));
      fill(sub, n.children, trigger, update);
    } else {
      QAction* a = commandAction(menu, n.text, n.id, n.shortcut, trigger);
      menu->addAction(a);
      a->setCheckable(n.initiallyChecked);
      a->setChecked(n.initiallyChecked);
      a->setEnabled(!n.initiallyGrayed);
    }
  }
}

// The popup at `path` ("ファイル/保存") below the bar, made at the end of its parent when missing.
QMenu* popupAt(QMenuBar* bar, const QString& path, const StateUpdater& update) {
  QMenu* menu = nullptr;
  for (const QString& title : path.split('/')) {
    const QList<QAction*> actions = menu ? menu->actions() : bar->actions();
    QMenu* found = nullptr;
    for (QAction* a : actions)
      if (a->menu() && a->text() == title) found = a->menu();
    if (!found) {
      found = menu ? menu->addMenu(title) : bar->addMenu(title);
      connectUpdates(found, update);
    }
    menu = found;
  }
  return menu;
}

QAction* itemFor(const QMenu* menu, int id) {
  for (QAction* a : menu->actions())
    if (!a->menu() && !a->isSeparator() && a->data().toInt() == id) return a;
  return nullptr;
}

void collect(const QMenu* menu, std::vector<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->menu()) {
      collect(a->menu(), out);
    } else if (!a->isSeparator()) {
      out.push_back(a);
    }
  }
}

}  // namespace

const std::vector<MenuNode>& mainMenuTree() {
  static const std::vector<MenuNode> tree = [] {
    MenuNode showControl = item("メインダイアログ", 40016);
    showControl.initiallyChecked = true;
    MenuNode showList = item("線のリスト", 40024);
    showList.initiallyChecked = true;
    MenuNode checkLines = item("線の確認(ErrLine.txt)", 40027);
    checkLines.initiallyGrayed = true;
    return std::vector<MenuNode>{
        popup("ファイル",
              {item("新規作成", 40044),
               popup("読込", {item("普通読込", 40001), item("部分読込", 40070),
                              item("顔画像データ読込み", 40049), item("背景画像を読込む", 40041)}),
               popup("保存", {item("普通保存", 40030), item("部分保存", 40071),
                              item("画像保存", 40063)}),
               separator(), item("作業用ファイルを消す", 40032), separator(),
               item("人体モデル作成", 40050)}),
        popup("編集", {item("元に戻す Ctrl+Z", 40021), item("やり直し  Ctrl+Y", 40022),
                       separator(), item("サイズ変更", 40043), item("線限定", 40072),
                       separator(), item("回転", 40061), item("変形", 40062)}),
        popup("描画",
              {popup("線", {item("選択\tShift+S", 40002), item("追加\tShift+L", 40003),
                            item("消去", 40004),
                            popup("塗り", {item("塗る", 40014), item("塗らない", 40015)}),
                            popup("整形", {item("線", 40038), item("三角", 40039),
                                           item("四角", 40040), item("円", 40037)}),
                            item("透明にする", 40033), item("設定クリア", 40034), separator()}),
               popup("点", {item("選択", 40006), item("追加\tShift+P", 40007), item("消去", 40008),
                            popup("接続", {item("曲線", 40011), item("頂点", 40012),
                                           item("分割", 40013)})}),
               popup("画像", {item("新規", 40017), item("読込", 40018), item("選択", 40019),
                              item("削除", 40020)}),
               item("全移動", 40059), item("点移動", 40068), item("範囲選択", 40069),
               item("文字", 40035), item("基準", 40025), item("全て基準", 40026),
               item("原点", 40066), item("初期値", 40046),
               popup("伸縮", {item("基本長", 40054), item("一時拡大", 40058),
                              item("伸縮指定", 40055)}),
               item("点表示切替", 40060), item("オブジェクト表示", 40064)}),
        popup("表示", {showControl, showList, item("ペイント", 40023), item("背景画像", 40042),
                       item("動き設定", 40045), item("編集・設定", 40051),
                       item("ステップ編集", 40052), item("オブジェクト編集", 40053)}),
        popup("命令", {item("スクリプト", 40029), item("動きモード", 40031), separator(),
                       item("線の命令文", 40028), item("変数編集", 40047)}),
        popup("ヘルプ", {item("バージョン", 40065), separator(),
                         checkLines,
                         item("試験実行(PaintObj)", 40048)}),
    };
  }();
  return tree;
}

const std::vector<MenuNode>& contextMenuTree() {
  static const std::vector<MenuNode> tree{
      popup("線", {item("選択", 40002), item("追加", 40003), item("削除", 40004),
                   popup("塗り", {item("塗らない", 40015), item("塗る", 40014)}),
                   item("基準にする", 40025)}),
      popup("点", {item("選択", 40006), item("追加", 40007), item("削除", 40008),
                   popup("接続", {item("曲線", 40011), item("頂点", 40012), item("分割", 40013)})}),
      popup("画像", {item("新規", 40017), item("読込", 40018), item("選択", 40019),
                     item("削除", 40020)}),
      popup("実行", {item("線の命令文", 40028), item("スクリプト", 40029), item("動きモード", 40031)}),
  };
  return tree;
}

void buildMenuBar(QMenuBar* bar, const std::vector<MenuNode>& tree, const Trigger& trigger,
                  const StateUpdater& update) {
  for (const MenuNode& n : tree) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(n.text));
    fill(menu, n.children, trigger, update);
  }
}

void buildMenu(QMenu* menu, const std::vector<MenuNode>& tree, const Trigger& trigger,
               const StateUpdater& update) {
  fill(menu, tree, trigger, update);
}

void placeDeclaredCommands(QMenuBar* bar, const CommandTable& table, const Trigger& trigger,
                           const StateUpdater& update) {
  std::vector<const Command*> waiting;
  for (int id : table.ids())
    if (const Command* c = table.find(id); c->menu.label && c->menu.path) waiting.push_back(c);
  auto declared = [&](int id) {
    for (const Command* c : waiting)
      if (c->id == id) return true;
    return false;
  };
  // Each round places the items whose anchor is there (or is no declared command at all), so
  // a chain of items stands in its declared order whatever the identifiers.
  for (bool placedAny = true; placedAny && !waiting.empty();) {
    placedAny = false;
    for (auto it = waiting.begin(); it != waiting.end();) {
      const MenuPlace& place = (*it)->menu;
      QMenu* menu = popupAt(bar, QString::fromUtf8(place.path), update);
      QAction* anchor = place.after > 0 ? itemFor(menu, place.after) : nullptr;
      if (place.after > 0 && !anchor && declared(place.after)) {
        ++it;
        continue;
      }
      QAction* before = nullptr;
      const QList<QAction*> items = menu->actions();
      if (place.after == kMenuTop && !items.isEmpty()) before = items.front();
      if (anchor) {
        const qsizetype at = items.indexOf(anchor);
        if (at + 1 < items.size()) before = items[at + 1];
      }
      QAction* a = commandAction(menu, place.label, (*it)->id, place.shortcut, trigger);
      menu->insertAction(before, a);
      if (place.separatorBefore) menu->insertSeparator(a);
      it = waiting.erase(it);
      placedAny = true;
    }
  }
}

std::vector<QAction*> commandActions(const QMenuBar* bar) {
  std::vector<QAction*> out;
  for (QAction* a : bar->actions())
    if (a->menu()) collect(a->menu(), out);
  return out;
}

std::vector<QAction*> commandActions(const QMenu* menu) {
  std::vector<QAction*> out;
  collect(menu, out);
  return out;
}

}  // namespace tovala
