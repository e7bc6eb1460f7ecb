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

void fill(QMenu* menu, const std::vector<MenuNode>& nodes, const Trigger& trigger,
          const StateUpdater& update) {
  for (const MenuNode& n : nodes) {
    if (!n.text) {
      menu->addSeparator();
    } else if (n.id == 0) {
      QMenu* sub = menu->addMenu(QString::fromUtf8(n.text));
      fill(sub, n.children, trigger, update);
    } else {
      QAction* a = menu->addAction(QString::fromUtf8(n.text));
      a->setData(n.id);
      a->setCheckable(n.initiallyChecked);
      a->setChecked(n.initiallyChecked);
      a->setEnabled(!n.initiallyGrayed);
      const int id = n.id;
      QObject::connect(a, &QAction::triggered, menu, [trigger, id] { trigger(id); });
    }
  }
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, update] {
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator() && !a->menu()) update(a, a->data().toInt());
    }
  });
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
                              item("画像保存", 40063), item("PNG書出", kCommandExportPng),
                              item("アニメーション書出", kCommandExportAnimation)}),
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
                       item("ステップ編集", 40052), item("オブジェクト編集", 40053),
                       item("ポーズ", kCommandPosePanel), item("タイムライン", kCommandTimeline),
                       separator(),
                       item("拡大\tCtrl++", kCommandZoomIn), item("縮小\tCtrl+-", kCommandZoomOut),
                       item("100%\tCtrl+0", kCommandActualSize),
                       item("ウィンドウに合わせる", kCommandFitToWindow)}),
        popup("命令", {item("スクリプト", 40029), item("動きモード", 40031),
                       item("ポーズ反転", kCommandPoseMirror), separator(),
                       item("線の命令文", 40028), item("変数編集", 40047)}),
        popup("ヘルプ", {item("マニュアル", kCommandManual), item("バージョン", 40065), separator(),
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
