// The edit tool's stores, family by family, on a small document: what each item writes, the
// preparation it makes first (a joint, a connecting-line block, a face part, a decorative
// method), and the refusals that leave everything as it was.

#include <QListWidget>
#include <QtTest>

#include <cmath>

#include "edit_tool_fixture.h"
#include "engine/face_parts.h"
#include "modal_helper.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/joint/joint_panel.h"

using namespace tovala;
using namespace tovala::test;

class TestEditToolStore : public QObject {
  Q_OBJECT

 private slots:
  void jointItemsMakeAJointAndStoreTheirKeys() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QVERIFY(ensureJoint(d, 0, 1));
    QCOMPARE(point(f, 1).kind, 2000);
    QCOMPARE(line0(f).kind, 4);
    QCOMPARE(point(f, 1).v0x, point(f, 1).vx);
    QCOMPARE(entry(point(f, 1).params, 6)->asFloat(), -100.0f);
    QCOMPARE(entry(point(f, 1).params, 17)->asFloat(), 3.1416f);
    QCOMPARE(entry(point(f, 1).params, 101)->asInt(), 0);  // block 1, partner line 0 point 0
    QVERIFY(!ensureJoint(d, 0, 1));                        // already a joint: left alone

    QCOMPARE(storeEditItem(d, 0x02010300, typed(-7.5f), 1), 1);  // y移動最小値
    QCOMPARE(entry(point(f, 1).params, 8)->asFloat(), -7.5f);
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 2), 1), 1);  // 相手番号
    QCOMPARE(entry(point(f, 1).params, 101)->asInt(), 2);
    QCOMPARE(storeEditItem(d, 0x02020502, picked(0, 2, 3), 1), 1);  // 方向点, unit vector Z
    QCOMPARE(entry(point(f, 1).params, 104)->asInt(), 2 * 256 + 3);
    // Every key stays sorted and the sentinel stays last.
    const ParamList& list = point(f, 1).params;
    for (size_t i = 1; i < list.size(); ++i) QVERIFY(list[i - 1].key <= list[i].key);
    QCOMPARE(list.back(), ParamEntry::sentinel());

    point(f, 0).sel = 1;
    point(f, 2).sel = 1;
    QCOMPARE(storeEditItem(d, 0x02030000, EditInput{}, 1), 1);  // 回転
    const int at = findParam(point(f, 1).params, kCoRotationKey);
    QVERIFY(at >= 0);
    QCOMPARE(point(f, 1).params[size_t(at)].asInt(), 0);
    QCOMPARE(point(f, 1).params[size_t(at) + 1].asInt(), 2);
    QCOMPARE(point(f, 1).kind, 1000);
  }

  void refusalsChangeNothing() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 7), 1), -1);  // no such point
    QCOMPARE(storeEditItem(d, 0x02020200, EditInput{}, 1), -1);   // nothing picked
    QCOMPARE(storeEditItem(d, 0x04050101, picked(0, 1), 1), -1);  // no group chosen
    QCOMPARE(storeEditItem(d, 0x03060100, typed(3), 10), -1);     // no block 10
    QCOMPARE(storeEditItem(d, 0x02000000, typed(3), 1), -1);      // a group
    QVERIFY(!editWouldStore(d, 0x02020200, picked(0, 7), 1));
    QVERIFY(editWouldStore(d, 0x02010100, typed(3), 1));
    QVERIFY(line0(f) == before);  // the dry run wrote nothing either
    d.curPoint = 5;
    QCOMPARE(storeEditItem(d, 0x02010100, typed(3), 1), -1);
    QVERIFY(line0(f) == before);
  }

  void clineItemsWorkOnTheCurrentBlock() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x03060200, typed(1.5f), 2), 1);  // 範囲 始終点距離最大値, block 2
    QCOMPARE(line0(f).mode, 100);
    QVERIFY(entry(line0(f).params, 200));
    QCOMPARE(entry(line0(f).params, 212)->asFloat(), 1.5f);
    EditInput circle;
    circle.choice = 1;
    QCOMPARE(storeEditItem(d, 0x03020000, circle, 1), 1);  // 描き方 円形
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536 + 1);
    circle.choice = -1;  // no choice counts as the first
    QCOMPARE(storeEditItem(d, 0x03020000, circle, 1), 1);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536);
    QCOMPARE(storeEditItem(d, 0x03040101, picked(0, 2), 1), 1);  // 終点 円形 点
    QCOMPARE(entry(line0(f).params, 103)->asInt(), 2 * 256 + 8);
    QCOMPARE(storeEditItem(d, 0x03050100, typed(-1), 1), 1);  // あたり方向
    QCOMPARE(entry(line0(f).params, 104)->asFloat(), -1.0f);
    QCOMPARE(storeEditItem(d, 0x03010000, EditInput{}, 1), 0);  // 番号 stores nothing

    // A view shape fits the points between the ends and keeps the other views.
    QCOMPARE(storeEditItem(d, 0x03030101, picked(0, 0), 1), 1);  // 始点 円形 点
    QCOMPARE(storeEditItem(d, 0x03070100, EditInput{}, 1), 1);   // 線形 正面
    const ParamList& run = point(f, 1).params;
    const int at = findParam(run, 151);
    QVERIFY(at >= 0);
    QCOMPARE(run[size_t(at)].asFloat(), 0.5f);      // front along: halfway from start to end
    QCOMPARE(run[size_t(at) + 1].asFloat(), 0.0f);  // top along as it was
    QVERIFY(std::abs(run[size_t(at) + 4].asFloat()) > 1.0f);  // front across: off the chord
    QCOMPARE(run[size_t(at) + 5].asFloat(), 0.0f);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536);  // hit-guided
  }

  void viewShapeNeedsTheEnds() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(f.doc(), 0x03080200, EditInput{}, 1), -1);  // no block yet
    QVERIFY(line0(f) == before);
  }

  void hitShapeComesFromTheJointPanelsEditor() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x02020601, EditInput{}, 1), -1);  // no shaped guide: refused
    QCOMPARE(point(f, 1).kind, 0);

    EditToolPanel& p = tool(f);
    auto& joint = *static_cast<JointPanel*>(f.window->panel(PanelId::Joint));
    const int steps = f.window->undoRing().undoCount();
    choosePath(p, {"関節", "あたり設定", "あたり", "上"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 11);
    QCOMPARE(joint.work().hitView, int(kHitViewTop));
    joint.work().block1().at(9) = 7.5f;  // what a drag of a handle leaves in the editor
    click(p, 1220);
    QCOMPARE(d.edit.tempMode, 0);
    QCOMPARE(point(f, 1).kind, 2000);
    QCOMPARE(entry(point(f, 1).params, 109)->asFloat(), 7.5f);
    QCOMPARE(entry(point(f, 1).params, 6)->asFloat(), -100.0f);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
  }

  void hitPointItemsTakeAnAnchorOrThePartner() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QVERIFY(ensureJoint(d, 0, 1));
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 2), 1), 1);     // partner of (0, 1): (0, 2)
    QCOMPARE(storeEditItem(d, 0x03030200, picked(0, 1, 3), 1), 1);  // 始点 あたり点, anchor 3
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 1 * 256 + 3);
    QCOMPARE(storeEditItem(d, 0x03040200, picked(0, 1, 5), 1), 1);  // 終点: the partner's anchor
    QCOMPARE(entry(line0(f).params, 103)->asInt(), 2 * 256 + 5);
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x03040200, picked(0, 0, 5), 1), -1);  // (0, 0) has no partner
    QVERIFY(line0(f) == before);

    // On the canvas: the first press starts at (0, 0), the next picks a joint point; without an
    // anchor picked the point itself is the anchor.
    EditToolPanel& p = tool(f);
    choosePath(p, {"CLine", "始点、中心", "あたり点"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 15);
    f.click(600, 600);
    QCOMPARE(f.window->picks().first, (std::array<int, 4>{0, 0, -1, 0}));
    f.click(300, 100);
    QCOMPARE(f.window->picks().first, (std::array<int, 4>{0, 2, -1, 0}));
    click(p, 1220);
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 2 * 256 + 8);
  }

  void faceItemsBuildThePartThenWriteOneSlot() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x05020300, typed(2.5f), 1), 1);  // 左目 右端移動距離
    QCOMPARE(line0(f).nam, kLeftEye);
    QCOMPARE(line0(f).mode, 0);
    QCOMPARE(entry(line0(f).params, kFacePartKey)->asInt(), kLeftEye);
    QCOMPARE(entry(line0(f).params, kFaceRefKey)->asFloat(), d.faceRef);
    const int run = findParam(line0(f).params, kFaceSlotKey);
    for (int i = 0; i < 10; ++i) {
      QCOMPARE(line0(f).params[size_t(run + i)].key, kFaceSlotKey);
      QCOMPARE(line0(f).params[size_t(run + i)].asFloat(), i == 2 ? 2.5f : 0.0f);
    }
    QCOMPARE(line0(f).params[size_t(run + 10)], ParamEntry::sentinel());
    // The same part again keeps the other slots.
    QCOMPARE(storeEditItem(d, 0x05020100, typed(1), 1), 1);
    QCOMPARE(line0(f).params[size_t(run + 2)].asFloat(), 2.5f);

    // Another part replaces the run; hair keeps its point slots empty until a point is picked.
    QCOMPARE(storeEditItem(d, 0x050F0600, picked(0, 2), 1), 1);  // 髪 上接続点
    QCOMPARE(line0(f).nam, kFirstHairStrand);
    const int hair = findParam(line0(f).params, kFaceSlotKey);
    QCOMPARE(line0(f).params[size_t(hair + 5)].asInt(), (0 << 16) | (2 << 8) | 2);
    QCOMPARE(line0(f).params[size_t(hair + 6)].asInt(), -1);
    QCOMPARE(line0(f).params[size_t(hair + 7)], ParamEntry::sentinel());

    // The connection points of その他 go where the face motion reads them (entries 12 and 13),
    // after the part's 14th leaf numbers.
    QCOMPARE(storeEditItem(d, 0x05100C00, picked(0, 1), 1), 1);  // その他 上接続点
    QCOMPARE(storeEditItem(d, 0x05100D00, picked(0, 2), 1), 1);  // その他 下接続点
    QCOMPARE(line0(f).nam, kOtherPart);
    const int other = findParam(line0(f).params, kFaceSlotKey);
    QCOMPARE(line0(f).params[size_t(other + faceSlotsOf(kOtherPart).upper)].asInt(),
             (0 << 16) | (1 << 8) | 1);
    QCOMPARE(line0(f).params[size_t(other + faceSlotsOf(kOtherPart).lower)].asInt(),
             (0 << 16) | (2 << 8) | 2);
    QCOMPARE(line0(f).params[size_t(other + 11)].asFloat(), 0.0f);  // no leaf writes entry 11

    // A contour adds two side entries per real point.
    QVERIFY(ensureFacePart(d, 0, kLeftContour));
    int sides = 0;
    for (const ParamEntry& e : line0(f).params) sides += e.key == kFaceSideKey;
    QCOMPARE(sides, 6);
    QCOMPARE(editPrefill(d, 0x050F0100, 1), 0.0f);  // not the hair any more
  }

  void redLineItemsStoreTheOffsetsOfItsPoints() {
    WindowFixture f;
    lineWithMiddleSelected(f);  // (100, 100), (200, 150), (300, 100): a box of 200 by 50
    Document& d = f.doc();
    EditInput in;
    LineRecord red = line0(f);
    red.points[2].vx += 20;
    red.points[2].vy -= 10;
    in.shape = &red;
    // 横向きの点: the contour's side-view pair of every point, in box widths and heights.
    QCOMPARE(storeEditItem(d, 0x05060A00, in, 1), 1);
    QCOMPARE(line0(f).nam, kRightContour);
    const int side = findParam(line0(f).params, kFaceSideKey);
    const float want[] = {0, 0, 0, 0, 0.1f, -0.2f};
    for (int i = 0; i < 6; ++i) QCOMPARE(line0(f).params[size_t(side + i)].asFloat(), want[i]);
    QCOMPARE(line0(f).params[size_t(side + 6)], ParamEntry::sentinel());

    // 点の補正: the set the number names (third pick field) under its own key.
    QCOMPARE(editPrefill(d, 0x05060B00, 1), 1.0f);  // no set yet: the first
    in.pick[2] = 3;
    QCOMPARE(storeEditItem(d, 0x05060B00, in, 1), 1);
    const int set = findParam(line0(f).params, faceCorrectionKey(3));
    QVERIFY(set >= 0);
    QCOMPARE(line0(f).params[size_t(set + 4)].asFloat(), 0.1f);
    QCOMPARE(line0(f).params[size_t(set + 5)].asFloat(), -0.2f);
    QCOMPARE(editPrefill(d, 0x05060B00, 1), 3.0f);
    QCOMPARE(findParam(line0(f).params, kFaceSideKey), side);  // the side view stays

    // No set of that number, no red line, or one of another length: refused, nothing changed.
    const LineRecord before = line0(f);
    in.pick[2] = 5;
    QCOMPARE(storeEditItem(d, 0x05060B00, in, 1), -1);
    in.pick[2] = 1;
    red.points.pop_back();
    QCOMPARE(storeEditItem(d, 0x05060B00, in, 1), -1);
    in.shape = nullptr;
    QCOMPARE(storeEditItem(d, 0x05030900, in, 1), -1);
    QVERIFY(line0(f) == before);

    // The lids keep a run of ten, as the eyes do.
    QCOMPARE(storeEditItem(d, 0x050A0100, typed(1), 1), 1);  // 右まぶた
    int run = 0;
    for (const ParamEntry& e : line0(f).params) run += e.key == kFaceSlotKey;
    QCOMPARE(run, 10);
  }

  void olinePrefillReadsTheStoredNumbers() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(editPrefill(d, 0x04010300, 1), 0.0f);
    QCOMPARE(storeEditItem(d, 0x04010300, typed(4.5f), 1), 1);  // 服線 距離, on the point
    QCOMPARE(editPrefill(d, 0x04010300, 1), 4.5f);
    QCOMPARE(editPrefill(d, 0x04070400, 1), 0.0f);  // 基準線延長: another method's run
    QCOMPARE(storeEditItem(d, 0x04040300, typed(7), 1), 1);  // 円形補 距離, on the line
    QCOMPARE(editPrefill(d, 0x04040300, 1), 7.0f);
    d.curPoint = 0;  // another point has no run
    QCOMPARE(editPrefill(d, 0x04010300, 1), 0.0f);
  }

  void olineItemsSetTheMethodThenOneEntry() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.drawLine({{100, 400}, {200, 450}});
    Document& d = f.doc();
    d.curLine = 0;
    d.curPoint = 1;
    QCOMPARE(storeEditItem(d, 0x04010300, typed(4), 1), 1);  // 服線 距離
    QCOMPARE(line0(f).mode, 101);
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 0);
    const ParamList& run = point(f, 1).params;
    QCOMPARE(entry(run, 150)->asInt(), 100);
    QCOMPARE(entry(run, 153)->asFloat(), 4.0f);
    QCOMPARE(int(run.size()), 5);
    // Another group replaces the run with its own, then writes the leaf.
    QCOMPARE(storeEditItem(d, 0x04020101, picked(1, 1), 1), 1);  // ローカル円形 中心 点
    QCOMPARE(entry(point(f, 1).params, 150)->asInt(), 200);
    QCOMPARE(entry(point(f, 1).params, 151)->asInt(), 65536 + 256);
    QCOMPARE(int(point(f, 1).params.size()), 13);
    f.window->refreshPanel(PanelId::EditTool);
    QCOMPARE(current(tool(f), 1), QString::fromUtf8("ローカル円形"));
    // A whole-line method lives on the line.
    QCOMPARE(storeEditItem(d, 0x04040100, picked(1, 0), 1), 1);  // 円形補 基準線
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 2);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 1 << 16);
    f.window->refreshPanel(PanelId::EditTool);
    QCOMPARE(current(tool(f), 1), QString::fromUtf8("円形補"));
    QCOMPARE(storeEditItem(d, 0x04060400, EditInput{}, 1), -1);  // views need R, A and B
    QCOMPARE(storeEditItem(d, 0x04060100, picked(1, 0), 1), 1);  // 2点接続線 基準点
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 181);
    QCOMPARE(storeEditItem(d, 0x04060200, picked(0, 0), 1), 1);  // 始点
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 0);
    QCOMPARE(storeEditItem(d, 0x04060300, picked(0, 2), 1), 1);  // 終点
    QCOMPARE(storeEditItem(d, 0x04060400, EditInput{}, 1), 1);   // 正面
    // (200, 150) lies halfway along (100, 100) → (300, 100), 50 off it; top and side stay.
    const int two = findParam(point(f, 1).params, 150);
    const ParamEntry* tu = &point(f, 1).params[size_t(two)];
    QCOMPARE(tu[1].asFloat(), 0.5f);
    QCOMPARE(tu[2].asFloat(), 0.0f);
    QCOMPARE(tu[4].asFloat(), 1.0f);
    QCOMPARE(std::abs(tu[5].asFloat()), 50.0f);
    QCOMPARE(tu[6].asFloat(), 0.0f);
    // A polar view is fitted to where the point is drawn, in that view only.
    QCOMPARE(storeEditItem(d, 0x04020101, picked(1, 0), 1), 1);  // ローカル円形 中心
    QCOMPARE(storeEditItem(d, 0x04020201, picked(1, 1), 1), 1);  // 方向点
    QCOMPARE(storeEditItem(d, 0x04020301, picked(1, 1), 1), 1);  // 符号点
    const LineRecord unfitted = line0(f);
    QCOMPARE(storeEditItem(d, 0x04020403, EditInput{}, 1), 1);  // 円形 上 (top)
    const int radius = findParam(point(f, 1).params, 155);
    QVERIFY(radius >= 0);
    QCOMPARE(point(f, 1).params[size_t(radius)].asFloat(), 0.0f);  // front stays
    QVERIFY(std::abs(point(f, 1).params[size_t(radius) + 1].asFloat() -
                     std::hypot(100.0f, 250.0f)) < 0.01f);
    QCOMPARE(point(f, 1).params[size_t(radius) + 2].asFloat(), 0.0f);  // side stays
    QCOMPARE(point(f, 0).params, unfitted.points[0].params);           // the other points too
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x04010101, EditInput{}, 1), -1);  // nothing picked
    QVERIFY(line0(f) == before);
  }

  void connectionItemsBuildGroupsOfTargetAndConditions() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.drawLine({{100, 400}, {200, 450}});
    Document& d = f.doc();
    d.curLine = 0;
    d.curPoint = 1;
    QCOMPARE(connectionChoices(d, true), std::vector<std::string>{"新規接続"});
    QVERIFY(connectionChoices(d, false).empty());
    EditInput in = picked(1, 0);
    in.choice = 0;                                     // 新規接続
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), 1);  // 単純接続
    QCOMPARE(line0(f).mode, 101);
    QCOMPARE(entry(point(f, 1).params, 180)->asInt(), 0);
    QCOMPARE(*entry(point(f, 1).params, 181), ParamEntry::ofInt(181, 11, 65536));
    QCOMPARE(connectionChoices(d, true), (std::vector<std::string>{"接続(線:1 点:0)", "新規接続"}));

    EditInput distance = typed(12);
    distance.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), 1);  // 距離最小値
    EditInput stretch = picked(1, 0);
    stretch.end = {1, 1, 0, 0};
    stretch.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050201, stretch, 1), 1);  // 非交差線
    distance.value = 5;
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), 1);  // the same condition again: replaced
    EditInput onLine = picked(1, 1);
    onLine.choice = 1;
    QCOMPARE(storeEditItem(d, 0x04050102, onLine, 1), 1);  // 円形補接続, a second group
    const int at = findParam(point(f, 1).params, 181);
    const ParamEntry* g = &point(f, 1).params[size_t(at)];
    QCOMPARE(g[0], ParamEntry::ofInt(181, 11, 65536));
    QCOMPARE(g[1], ParamEntry::ofFloat(181, 120, 5));
    QCOMPARE(g[2], ParamEntry::ofInt(181, 101, (1 << 16) | 1));
    QCOMPARE(g[3], ParamEntry::ofInt(181, 12, (1 << 16) | 1));
    QCOMPARE(g[4], ParamEntry::sentinel());
    QCOMPARE(connectionChoices(d, false),
             (std::vector<std::string>{"接続(線:1 点:0)", "接続(線:1)"}));

    const LineRecord before = line0(f);
    distance.choice = 2;  // a condition cannot start a group
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), -1);
    stretch.end = {0, 2, 0, 0};  // the two ends must be on one line
    QCOMPARE(storeEditItem(d, 0x04050202, stretch, 1), -1);
    in.choice = -1;
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), -1);
    QVERIFY(line0(f) == before);
  }

  void twoPointPicksThenTheGroupChosen() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    EditInput in = picked(0, 0);
    in.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), 1);
    EditToolPanel& p = tool(f);
    choosePath(p, {"OLine", "接続", "接続条件", "交差線"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 19);
    f.click(100, 100);
    QCOMPARE(f.window->picks().phase, 1);
    f.click(300, 100);
    QCOMPARE(f.window->picks().phase, 0);
    QCOMPARE(f.window->picks().second[1], 2);
    auto seen = whenModal<SelectionDialog>([](SelectionDialog& dlg) {
      QCOMPARE(dlg.itemCount(), 1);  // the one group; no new group for a condition
      dlg.list()->setCurrentRow(0);
      dlg.accept();
    });
    click(p, 1220);
    QVERIFY(*seen);
    const int at = findParam(point(f, 1).params, 181);
    QCOMPARE(point(f, 1).params[size_t(at) + 1], ParamEntry::ofInt(181, 102, 2));
  }

  void commandItemsWriteTheProgram() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x06020100, EditInput{}, 1), 1);  // 基本命令
    const std::vector<CodeEntry>& code = line0(f).code;
    QCOMPARE(int(code.size()), 9);
    QCOMPARE(code.front(), (CodeEntry{0xFF, 0}));
    QCOMPARE(code[1], (CodeEntry{0x20, 0x2020001}));  // AllInit
    QCOMPARE(code[7], (CodeEntry{0x20, 0x202001F}));  // MakeCLineAll
    QCOMPARE(code.back(), (CodeEntry{0xFF, 0}));
    QCOMPARE(line0(f).codeChanged, 1);
    QCOMPARE(storeEditItem(d, 0x06020200, EditInput{}, 1), 1);  // OLine命令
    QCOMPARE(int(line0(f).code.size()), 11);
    QCOMPARE(line0(f).code[9], (CodeEntry{0x20, 0x2020028}));  // ConnectOLineAll
    QCOMPARE(line0(f).code.back(), (CodeEntry{0xFF, 0}));
    QCOMPARE(storeEditItem(d, 0x06020300, picked(0, 1), 1), 1);  // 顔命令 for point (0, 1)
    QCOMPARE(line0(f).code[11], (CodeEntry{0x1A, (0u << 16) | (1u << 8)}));
  }
};

QTEST_MAIN(TestEditToolStore)
#include "tst_edit_tool_store.moc"
