#include "shell/panels/edit_tool/edit_tool_items.h"

#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/face_parts.h"
#include "engine/oline.h"
#include "engine/param_splice.h"
#include "model/document.h"

namespace tovala {

int EditItem::depth() const {
  for (int n = kEditLevels; n >= 1; --n)
    if (level(n) != 0) return n;
  return 0;
}

namespace {

using Kids = std::vector<std::pair<const char*, int>>;

// Leaves that take a typed value, and lists joined in order.
Kids values(std::initializer_list<const char*> names) {
  Kids out;
  for (const char* n : names) out.push_back({n, 1});
  return out;
}
Kids operator+(Kids a, const Kids& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class TableBuilder {
 public:
  std::vector<EditItem> items;

  void add(uint32_t code, int type, const char* name) { items.push_back({code, 0, type, name}); }
  void group(uint32_t code, const char* name) { add(code, kEditGroup, name); }
  // Children of `parent` numbered 1, 2, ... at the level below it.
  void kids(uint32_t parent, Kids list) {
    const int shift = 8 * (3 - EditItem{parent, 0, 0, {}}.depth());
    uint32_t n = 1;
    for (const auto& [name, type] : list) add(parent | (n++ << shift), type, name);
  }
  void groupWith(uint32_t code, const char* name, Kids list) {
    group(code, name);
    kids(code, list);
  }
  // The "点" / "単位ベクトル" pair of the point-reference groups.
  void pointPair(uint32_t code, const char* name) {
    groupWith(code, name, {{"点", 12}, {"単位ベクトル", 13}});
  }
  void views(uint32_t code, const char* name) {
    groupWith(code, name, {{"正面", 16}, {"横", 16}, {"上", 16}});
  }
};

// The face parts' settings share runs of leaves.
const Kids kEnds = values({"左端移動距離", "左端最大移動距離", "右端移動距離", "右端最大移動距離"});
const Kids kWhole = values({"移動距離", "最大移動距離"});
const Kids kVertical = values({"縦移動距離", "縦移動距離補正"});
const Kids kTilt = values({"縦回転", "縦回転補正"});
const Kids kDeform = values({"変形基準0", "変形基準1"});
const Kids kConnections = {{"上接続点", 12}, {"下接続点", 12}};
const Kids kCorrection = {{"点の補正", 17}};
const Kids kSideways = {{"横向きの点", 18}};
const Kids kEyeKids = kEnds + kVertical + kTilt + kDeform + kCorrection;
const Kids kBrowKids = kEnds + kVertical + kTilt + kCorrection;
const Kids kHeadKids = kConnections + kCorrection;
const Kids kContour =
    kEnds + kVertical + values({"縦移動の形補正X", "縦移動の形補正Y", "形補正限界値"});

void buildJoint(TableBuilder& t) {
  t.group(0x02000000, "関節");
  t.add(0x02040000, 16, "一括関節点");
  t.groupWith(0x02010000, "移動範囲",
              {{"x移動最小値", 1},
               {"x移動最大値", 1},
               {"y移動最小値", 1},
               {"y移動最大値", 1},
               {"z移動最小値", 1},
               {"z移動最大値", 1},
               {"x回転最小値", 1},
               {"x回転最大値", 1},
               {"y回転最小値", 1},
               {"y回転最大値", 1},
               {"z回転最小値", 1},
               {"z回転最大値", 1}});
  t.group(0x02020000, "あたり設定");
  t.add(0x02020200, 12, "相手番号");
  t.pointPair(0x02020500, "方向点");
  t.groupWith(0x02020600, "あたり", {{"正面", 11}, {"横", 11}, {"上", 11}});
  t.add(0x02030000, 14, "回転");
}

void buildCLine(TableBuilder& t) {
  t.group(0x03000000, "CLine");
  t.add(0x03010000, 21, "番号");
  t.add(0x03020000, 21, "描き方");
  t.group(0x03030000, "始点、中心");
  t.pointPair(0x03030100, "円形");
  t.add(0x03030200, 15, "あたり点");
  t.group(0x03040000, "終点");
  t.pointPair(0x03040100, "円形");
  t.add(0x03040200, 15, "あたり点");
  t.group(0x03050000, "方向点");
  t.add(0x03050100, 1, "あたり方向");
  t.pointPair(0x03050200, "円形符号");
  t.groupWith(0x03060000, "範囲",
              {{"始終点距離最小値", 1},
               {"始終点距離最大値", 1},
               {"x回転最小値", 1},
               {"x回転最大値", 1},
               {"y回転最小値", 1},
               {"y回転最大値", 1},
               {"z回転最小値", 1},
               {"z回転最大値", 1}});
  t.views(0x03070000, "線形");
  t.views(0x03080000, "円形");
  t.group(0x03090000, "接続");
}

void buildOLine(TableBuilder& t) {
  t.group(0x04000000, "OLine");
  t.group(0x04010000, "服線");
  t.pointPair(0x04010100, "基準点");
  t.pointPair(0x04010200, "方向点");
  t.add(0x04010300, 1, "距離");
  t.group(0x04020000, "ローカル円形");
  t.pointPair(0x04020100, "中心");
  t.pointPair(0x04020200, "方向点");
  t.pointPair(0x04020300, "符号点");
  t.views(0x04020400, "円形");
  t.groupWith(0x04030000, "ローカル3D", {{"基準点", 12}});
  t.groupWith(0x04070000, "基準線延長",
              {{"始点", 12}, {"終点", 12}, {"方向点", 12}, {"延長線長", 1}, {"変位長", 1}});
  t.groupWith(0x04040000, "円形補", {{"基準線", 12}, {"基準点", 12}, {"距離", 1}});
  t.group(0x04050000, "接続");
  t.groupWith(0x04050100, "接続点", {{"単純接続", 12}, {"円形補接続", 12}});
  t.groupWith(0x04050200, "接続条件",
              {{"非交差線", 19},
               {"交差線", 19},
               {"方向基準点", 12},
               {"方向同側点", 12},
               {"方向逆側点", 12},
               {"距離最小値", 1},
               {"距離最大値", 1},
               {"sin最小値", 1},
               {"sin最大値", 1}});
  t.groupWith(0x04060000, "2点接続線",
              {{"基準点", 12}, {"始点", 12}, {"終点", 12}, {"正面", 16}, {"横", 16}, {"上", 16}});
}

void buildFace(TableBuilder& t) {
  t.group(0x05000000, "顔");
  t.groupWith(0x05010000, "右目", kEyeKids);
  t.groupWith(0x05020000, "左目", kEyeKids);
  t.groupWith(0x05030000, "右眉", kBrowKids);
  t.groupWith(0x05040000, "左眉", kBrowKids);
  t.groupWith(0x05050000, "口", kWhole + kVertical + kTilt + kDeform + kCorrection);
  t.groupWith(0x05060000, "右輪郭", kContour + kSideways + kCorrection);
  t.groupWith(0x05070000, "左輪郭",
              kContour + Kids{{"鼻筋点", 12}} + values({"鼻筋補正限界値", "鼻筋補正"}) + kSideways +
                  kCorrection);
  t.groupWith(0x05080000, "右耳",
              kWhole + kVertical + kTilt + values({"横方向伸縮値"}) + kConnections + kCorrection);
  t.groupWith(0x05090000, "左耳", kWhole + kVertical + kTilt + kConnections + kCorrection);
  t.groupWith(0x050A0000, "右まぶた", kBrowKids);
  t.groupWith(0x050B0000, "左まぶた", kBrowKids);
  t.groupWith(0x050C0000, "鼻",
              kWhole + kVertical + kTilt + values({"幅拡大率", "高さ拡大率", "輪郭接続限界値"}) +
                  kConnections + kCorrection);
  t.groupWith(0x050D0000, "右頭", kHeadKids);
  t.groupWith(0x050E0000, "左頭", kHeadKids);
  t.groupWith(
      0x050F0000, "髪",
      kVertical + values({"縦回転", "上接続限界値", "下接続限界値"}) + kConnections + kCorrection);
  t.groupWith(0x05100000, "その他",
              kEnds + values({"上端移動距離", "上端移動距離補正", "下端移動距離"}) + kTilt +
                  values({"上接続限界値", "下接続限界値"}) + kConnections + kCorrection);
}

std::vector<EditItem> buildTable() {
  TableBuilder t;
  t.add(0x01000000, 0, "普通");
  buildJoint(t);
  buildCLine(t);
  buildOLine(t);
  buildFace(t);
  t.group(0x06000000, "命令");
  t.add(0x06010000, 2, "命令ダイアログ");
  t.groupWith(0x06020000, "命令", {{"基本命令", 16}, {"OLine命令", 16}, {"顔命令", 12}});
  t.items.resize(kEditItemCapacity, EditItem{});
  return t.items;
}

// Level-2 positions of the face parts by line number (the face list's order).
int facePosition(int32_t nam) {
  switch (nam) {
    case kLeftEye: return 1;
    case kRightBrow: return 2;
    case kLeftBrow: return 3;
    case kMouth: return 4;
    case kRightContour: return 5;
    case kLeftContour: return 6;
    case kRightEar: return 7;
    case kLeftEar: return 8;
    case kRightLid: return 9;
    case kLeftLid: return 10;
    case kNose: return 11;
    case kRightHead: return 12;
    case kLeftHead: return 13;
    case kLeftLowerHair:
    case kRightLowerHair:
    case kOtherPart: return 15;
    default: return 0;
  }
}

}  // namespace

const std::vector<EditItem>& editItems() {
  static const std::vector<EditItem> table = buildTable();
  return table;
}

int findEditItem(uint32_t code) {
  const std::vector<EditItem>& t = editItems();
  for (size_t i = 0; i < t.size(); ++i)
    if (t[i].code == code && t[i].depth() > 0) return int(i);
  return -1;
}

std::vector<int> editTopItems() {
  std::vector<int> out;
  const std::vector<EditItem>& t = editItems();
  for (size_t i = 0; i < t.size() && out.size() < size_t(kEditListMax); ++i)
    if (t[i].depth() == 1) out.push_back(int(i));
  return out;
}

std::vector<int> editItemChildren(int parent) {
  std::vector<int> out;
  const std::vector<EditItem>& t = editItems();
  if (parent < 0 || parent >= int(t.size()) || t[size_t(parent)].type != kEditGroup) return out;
  const EditItem& p = t[size_t(parent)];
  const int depth = p.depth();
  if (depth == 0 || depth >= kEditLevels) return out;
  const uint32_t mask = 0xFFFFFFFFu << (8 * (kEditLevels - depth));
  for (size_t i = 0; i < t.size() && out.size() < size_t(kEditListMax); ++i)
    if (t[i].depth() == depth + 1 && (t[i].code & mask) == p.code) out.push_back(int(i));
  return out;
}

int preselectTop(const Document& doc) {
  if (!doc.isValidLine(doc.curLine)) return 0;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  if (l.kind == kJointLineKind) return 1;
  if (l.mode == 100) return 2;
  if (l.mode == kOLineMode) return 3;
  if (l.category == kFaceCategory || l.category == kHairCategory) return 4;
  return 0;
}

int preselectSecond(const Document& doc, uint32_t topCode) {
  if (!doc.isValidLine(doc.curLine)) return 0;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  if (topCode == 0x05000000) {
    if (l.category == kFaceCategory) return facePosition(l.nam);
    if (l.category == kHairCategory) return 14;
    return 0;
  }
  if (topCode == 0x04000000 && l.mode == kOLineMode) {
    const int at = findParam(l.params, kOLineMethodKey);
    if (at < 0) return 0;
    const int32_t method = methodCode(l.params[size_t(at)]);
    if (method == kOLineWholeLine) return 4;
    if (method == kOLineTwoPoint) return 6;
    if (method != kOLinePointByPoint || doc.isValidPick(doc.curLine, doc.curPoint) != 1) return 0;
    const PointRecord& p = l.points[size_t(doc.curPoint)];
    const int run = findParam(p.params, kOLineRunKey);
    if (run < 0) return 0;
    switch (methodCode(p.params[size_t(run)])) {
      case kPolarMethod: return 1;
      case kFrameMethod: return 2;
      case kStepMethod: return 3;
      default: return 0;
    }
  }
  return 0;
}

const char* editGuidance(int type) {
  switch (type) {
    case 0: return "普通に編集をします。\r\n「Z」ボタンを押すとZ方向の編集が出来ます。";
    case 1: return "ダイアログに値を入力して、OKボタンを押します。";
    case 11:
      return "関節点のみ有効です。\r\n関節点のあたりの形を決定します。\r\n点を選択肢し、マウスを左"
             "右に"
             "動かしてください。\r\n「右クリック」で取り消します。";
    case 12:
      return "点を選択してください。\r\n線も選択されます。\r\n「右クリック」で取り消します。";
    case 13:
      return "関節点のみ有効です。\r\n単位ベクトルの点を選択してください。\r\n「右クリック」で取り"
             "消"
             "します。";
    case 14:
      return "関節点のみ有効です。\r\n関節点の動きにあわせて回転する点を選択します。\r\n範囲を指定"
             "し"
             "てください。\r\n選択が入れ替わります。\r\n「右クリック」で取り消します。";
    case 15:
      return "関節点のみ有効です。\r\nあたりの点を選択してください。\r\n「右クリック」で取り消しま"
             "す。";
    case 16: return "メッセージに従ってください。";
    case 17:
    case 18: return "赤い線の形を指定してください。\r\n「右クリック」で取り消します。";
    case 19:
      return "二つの点を選択してください。\r\n「赤枠付き」が始点、「赤枠なし」が終点です。\r\n「右"
             "ク"
             "リック」で取り消します。";
    case 21: return "リストボックスのアイテムを選択して、OKボタンを押します。";
    default: return "";
  }
}

}  // namespace tovala
