// The pose panel on the body model: a pose saved under a typed name, applied as one undo step
// (none when it changes nothing), undone, mirrored with ポーズ反転, and applied in motion mode.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "engine/pose.h"
#include "modal_helper.h"
#include "shell/command_table.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/pose/pose_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

PointRecord& jointOf(Document& d, JointKey key) {
  int l = -1, p = -1;
  if (!findJoint(d, key, l, p)) qFatal("no joint %d/%d", key.line, key.point);
  return d.lines[size_t(l)].points[size_t(p)];
}

constexpr JointKey kLeftShoulder{8, 800}, kRightShoulder{14, 1400}, kLeftHandTip{8, 803};

}  // namespace

class TestPosePanel : public QObject {
  Q_OBJECT

 private slots:
  void savedPoseAppliedAsOneStepUndoneAndMirrored() {
    WindowFixture f;
    QVERIFY(f.window->runCommand(40050));  // the body model
    Document& d = f.doc();
    QVERIFY(f.window->runCommand(kCommandPosePanel));
    auto* panel = static_cast<PosePanel*>(f.window->panel(PanelId::Pose));
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(panel->folder(), std::filesystem::path(f.window->paths().startFolder) / "poses");

    // The left arm raised, saved as "挙手".
    jointOf(d, kLeftShoulder).radz = 0.8f;
    auto typed = test::whenModal<InputDialog>([](InputDialog& dlg) {
      dlg.setAnswer("挙手");
      dlg.accept();
    });
    panel->button(PosePanel::kSave)->click();
    QVERIFY(*typed);
    QCOMPARE(panel->names(), std::vector<std::string>{"挙手"});
    QVERIFY(!panel->list()->item(0)->icon().isNull());  // its picture

    // Back to the reference pose, then the saved pose applied: one step.
    QVERIFY(f.window->runCommand(40046));
    const Vec3 rest{jointOf(d, kLeftHandTip).vx, jointOf(d, kLeftHandTip).vy, 0};
    const int steps = f.window->undoRing().undoCount();
    panel->selectName("挙手");
    panel->button(PosePanel::kApply)->click();
    QCOMPARE(jointOf(d, kLeftShoulder).radz, 0.8f);
    QVERIFY(jointOf(d, kLeftHandTip).vx != rest.x);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    // Applied again it changes nothing, and leaves no step.
    panel->button(PosePanel::kApply)->click();
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    QVERIFY(f.ui.shown.empty());

    // Undo gives back the reference pose, values and positions.
    f.window->undo();
    QCOMPARE(jointOf(d, kLeftShoulder).radz, 0.0f);
    QCOMPARE(jointOf(d, kLeftHandTip).vx, rest.x);
    QCOMPARE(jointOf(d, kLeftHandTip).vy, rest.y);

    // Mirrored: the right arm holds the raise, with the sign a mirror gives it; one step.
    f.window->redo();
    const int before = f.window->undoRing().undoCount();
    QVERIFY(f.window->runCommand(kCommandPoseMirror));
    QCOMPARE(jointOf(d, kRightShoulder).radz, -0.8f);
    QCOMPARE(jointOf(d, kLeftShoulder).radz, 0.0f);
    QCOMPARE(f.window->undoRing().undoCount(), before + 1);
    QVERIFY(f.ui.shown.empty());  // every joint of the body model has its partner

    // In motion mode a pose is applied as a drag poses: the figure changes, no step of the
    // document's ring is taken, and it is one step of the posing history.
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.window->motion());
    const int inMotion = f.window->undoRing().undoCount();
    const float shoulderBefore = jointOf(d, kLeftShoulder).radz;
    QVERIFY(shoulderBefore != 0.8f);
    panel->selectName("挙手");
    panel->button(PosePanel::kApply)->click();
    QCOMPARE(jointOf(d, kLeftShoulder).radz, 0.8f);
    QCOMPARE(jointOf(d, kRightShoulder).radz, 0.0f);
    QCOMPARE(f.window->undoRing().undoCount(), inMotion);
    f.window->undo();
    QCOMPARE(jointOf(d, kLeftShoulder).radz, shoulderBefore);
    f.window->redo();
    QCOMPARE(jointOf(d, kLeftShoulder).radz, 0.8f);
    QCOMPARE(f.window->undoRing().undoCount(), inMotion);
  }
};

QTEST_MAIN(TestPosePanel)
#include "tst_pose_panel.moc"
