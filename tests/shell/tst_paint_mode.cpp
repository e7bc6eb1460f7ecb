// Paint mode: the palette and colour bars of the paint panel and what a click hands to the
// document; entering and leaving the mode; strokes inside the image line's shape, kept out of
// the rest of the picture; the paint undo ring through Ctrl+Z.

#include <QLineEdit>
#include <QtTest>

#include "engine/edit_modes.h"
#include "model/brush_kernel.h"
#include "shell/paint_mode.h"
#include "shell/panels/paint/paint_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

constexpr int kCentre = 300;  // the middle of the square below

// A closed square (200..400) made an image line with a blank white picture, selected.
void buildImageLine(WindowFixture& f) {
  f.drawLine({{200, 200}, {400, 200}, {400, 400}, {200, 400}});
  f.window->runCommand(40002);
  Document& d = f.doc();
  const int line = d.lineCount() - 2;
  d.curLine = line;
  QVERIFY(f.window->runCommand(40017));
  QCOMPARE(d.lines[size_t(line)].kind, 2);
}

PaintPanel& paintPanel(WindowFixture& f) {
  return *static_cast<PaintPanel*>(f.window->panel(PanelId::Paint));
}

const ImageSlot& picture(WindowFixture& f) {
  Document& d = f.doc();
  return *d.userImages.image(d.findImageByKey(int32_t(d.lines[0].cb)));
}

// The picture pixel under canvas point (x, y).
uint32_t pictureAt(WindowFixture& f, int x, int y) {
  const LineRecord& l = f.doc().lines[0];
  return picture(f).pixel(x - int(l.rectx), y - int(l.recty));
}

// Chooses brush `index` and a pure red pen through the panel.
void chooseRedBrush(PaintPanel& panel, int index) {
  panel.pressAt(PaintPanel::kRed, kColourBarSpan, 0);
  panel.releaseAt();
  panel.pressAt(PaintPanel::kGreen, 0, 0);
  panel.releaseAt();
  panel.pressAt(PaintPanel::kBlue, 0, 0);
  panel.releaseAt();
  const int cw = kPaletteWidth / 5, ch = kPaletteHeight / 2;
  panel.pressAt(0, (index % 5) * cw + 1, (index / 5) * ch + 1);
  panel.releaseAt();
}

}  // namespace

class TestPaintMode : public QObject {
  Q_OBJECT

 private slots:
  void paletteAndBarArithmetic() {
    // The first cell of the lower row is brush 5, a soft 3 x 3.
    QCOMPARE(paletteCellAt(0, kPaletteHeight / 2, kPaletteWidth, kPaletteHeight), 5);
    QCOMPARE(paletteCellAt(0, 0, kPaletteWidth, kPaletteHeight), 0);
    QCOMPARE(paletteCellAt(kPaletteWidth - 2, kPaletteHeight - 2, kPaletteWidth, kPaletteHeight),
             9);
    // The odd last column and row lie past the cells.
    QCOMPARE(paletteCellAt(kPaletteWidth - 1, 0, kPaletteWidth, kPaletteHeight), -1);
    QCOMPARE(paletteCellAt(0, kPaletteHeight - 1, kPaletteWidth, kPaletteHeight), -1);
    QCOMPARE(paletteCellAt(-1, 0, kPaletteWidth, kPaletteHeight), -1);
    QCOMPARE(paletteCellAt(0, kPaletteHeight, kPaletteWidth, kPaletteHeight), -1);
    const PaintBrush b5 = paintBrushPreset(5);
    QCOMPARE(b5.w, 3.0f);
    QCOMPARE(b5.k, -3.0f);
    QCOMPARE(paintBrushPreset(42).w, 36.0f);  // held to the last preset

    QCOMPARE(componentFromMarker(0, kColourBarSpan), 0);
    QCOMPARE(componentFromMarker(kColourBarSpan, kColourBarSpan), 255);
    QCOMPARE(componentFromMarker(kDefaultMarker, kColourBarSpan), 97);
    QCOMPARE(componentFromMarker(500, kColourBarSpan), 255);
    QCOMPARE(componentFromMarker(5, 0), 0);
    QCOMPARE(markerFromComponent(255, kColourBarSpan), kColourBarSpan);
    QCOMPARE(markerFromComponent(-7, kColourBarSpan), 0);
    QCOMPARE(penColourOf(1, 2, 3), 0x030201u);
    QCOMPARE(penColourOf(300, -1, 255), 0xFF00FFu);
  }

  void panelClicksHandTheBrushAndColourToTheDocument() {
    WindowFixture f;
    PaintPanel& panel = paintPanel(f);
    Document& d = f.doc();
    QVERIFY(!panel.isVisible());  // hidden at start-up
    QCOMPARE(panel.action, int(PaintPanel::kInitial));
    QCOMPARE(panel.brushIndex(), kDefaultBrush);
    QCOMPARE(d.penColor, 0u);  // the start-up notification is not applied
    QCOMPARE(panel.box(PaintPanel::kRed)->text(), QString("97"));

    // A click on the first cell of the lower row: brush 5, shown inverted.
    panel.pressAt(0, 0, kPaletteHeight / 2);
    panel.releaseAt();
    QCOMPARE(panel.brushIndex(), 5);
    QCOMPARE(panel.action, int(PaintPanel::kClicked));
    QCOMPARE(d.userImages.kernel, buildKernel(3, 3, 1.0f, -3.0f));
    QCOMPARE(d.penColor, penColourOf(97, 97, 97));
    const QImage shown = panel.paletteImage();
    QCOMPARE(shown.pixel(0, kPaletteHeight / 2), qRgb(0, 0, 0));  // white paper, inverted
    QCOMPARE(shown.pixel(0, 0), qRgb(255, 255, 255));

    // The ends of the red bar.
    panel.pressAt(PaintPanel::kRed, kColourBarSpan, 3);
    QCOMPARE(panel.red(), 255);
    QCOMPARE(panel.box(PaintPanel::kRed)->text(), QString("255"));
    panel.releaseAt();
    QCOMPARE(d.penColor, penColourOf(255, 97, 97));
    panel.pressAt(PaintPanel::kRed, 0, 3);
    panel.releaseAt();
    QCOMPARE(panel.red(), 0);
    QCOMPARE(d.penColor, penColourOf(0, 97, 97));

    // Dragging the blue bar follows the mouse without telling the window; the release does.
    panel.pressAt(PaintPanel::kBlue, 10, 3);
    const uint32_t pressed = d.penColor;
    panel.moveAt(PaintPanel::kBlue, kColourBarSpan, 3);
    QCOMPARE(panel.blue(), 255);
    QCOMPARE(d.penColor, pressed);
    panel.moveAt(PaintPanel::kBlue, kColourBarSpan + 40, 3);  // outside the bar: ignored
    QCOMPARE(panel.marker(PaintPanel::kBlue), kColourBarSpan);
    panel.releaseAt();
    QCOMPARE(d.penColor, penColourOf(0, 97, 255));
    QCOMPARE(panel.activeBar(), int(PaintPanel::kNoBar));
    panel.moveAt(PaintPanel::kBlue, 0, 3);  // no bar is active after the release
    QCOMPARE(panel.blue(), 255);

    // A typed value moves the marker; out-of-range values are held to 0..255 when handed over.
    QLineEdit* green = panel.box(PaintPanel::kGreen);
    green->clear();
    QTest::keyClicks(green, "200");
    QCOMPARE(panel.marker(PaintPanel::kGreen), 200 * kColourBarSpan / 255);
    QCOMPARE(d.penColor, penColourOf(0, 97, 255));  // not handed over while typing
    green->setText("999");
    panel.notifyWindow(PaintPanel::kClicked);
    QCOMPARE(panel.green(), 255);
    QCOMPARE(panel.box(PaintPanel::kGreen)->text(), QString("255"));
    QCOMPARE(d.penColor, penColourOf(0, 255, 255));
  }

  void enteringAndLeavingPaintMode() {
    WindowFixture f;
    Document& d = f.doc();
    // A plain line: the command is disabled and does nothing.
    f.drawLine({{100, 100}, {150, 120}, {120, 160}});
    f.window->runCommand(40002);
    QVERIFY(!f.window->commands().state(*f.window, 40023).enabled);
    QVERIFY(!f.window->runCommand(40023));
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QVERIFY(!paintPanel(f).isVisible());
    onPaintdlg(*f.window);  // called directly it refuses as well
    QCOMPARE(d.edit.mode, int(kModeSelect));

    buildImageLine(f);
    d.curLine = 1;
    QVERIFY(f.window->commands().state(*f.window, 40023).enabled);
    QVERIFY(f.window->runCommand(40023));
    QCOMPARE(d.edit.mode, int(kModePaint));
    QCOMPARE(d.edit.subMode, kSubModePaint);
    QVERIFY(paintPanel(f).isVisible());
    QVERIFY(f.window->commands().state(*f.window, 40023).checked);
    QCOMPARE(f.window->session().paintRing().undoCount(), 0);
    // The mask of the shape is ready: its inside holds the line's fill colour (the image key).
    const ImageSlot* mask = d.userImages.image(d.sentinelImageSlot());
    QVERIFY(mask);
    QCOMPARE(mask->pixel(kCentre - int(d.lines[1].rectx), kCentre - int(d.lines[1].recty)),
             d.lines[1].cb & 0xFFFFFFu);

    // Any mode change away hides the panel.
    QVERIFY(f.window->runCommand(40002));
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QVERIFY(!paintPanel(f).isVisible());
  }

  void strokesPaintInsideTheShapeAndUndoStepByStep() {
    WindowFixture f;
    buildImageLine(f);
    Document& d = f.doc();
    QVERIFY(f.window->runCommand(40023));
    chooseRedBrush(paintPanel(f), 4);  // 32 x 32, full colour
    QCOMPARE(d.penColor, 0x0000FFu);
    const ImageSlot before = picture(f);
    QCOMPARE(pictureAt(f, kCentre, kCentre), 0xFFFFFFu);

    // A click stamps once: red at the centre, nothing at the other end of the square.
    f.click(kCentre, kCentre);
    QCOMPARE(pictureAt(f, kCentre, kCentre), 0x0000FFu);
    QCOMPARE(pictureAt(f, 220, 220), 0xFFFFFFu);
    QCOMPARE(d.edit.mode, int(kModePaint));  // a press selects nothing and stays in the mode
    QCOMPARE(f.window->session().paintRing().undoCount(), 1);
    const ImageSlot afterClick = picture(f);

    // A drag paints the segment between its mouse points.
    f.drag({{240, 240}, {240, 360}});
    QCOMPARE(pictureAt(f, 240, 300), 0x0000FFu);
    QCOMPARE(f.window->session().paintRing().undoCount(), 2);

    // The bounding box's corners lie outside the square's mask: the picture keeps them.
    const LineRecord& l = d.lines[0];
    f.click(int(l.rectx), int(l.recty));
    QCOMPARE(picture(f).pixel(0, 0), 0xFFFFFFu);

    // Ctrl+Z takes the strokes back one at a time; Ctrl+Y redoes.
    f.key(Qt::Key_Z, Qt::ControlModifier);
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(picture(f) == afterClick);
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(picture(f) == before);
    f.key(Qt::Key_Z, Qt::ControlModifier);  // nothing left to undo
    QVERIFY(picture(f) == before);
    f.window->redo();
    QVERIFY(picture(f) == afterClick);
  }

  // With an odd brush width the range origin has a half pixel: the dab lands on the canvas point
  // minus the truncated origin.
  void paintLandsOnTheTruncatedRangeOrigin() {
    WindowFixture f;
    buildImageLine(f);
    Document& d = f.doc();
    d.lines[0].brw = d.lines[0].brh = 3.0f;
    QVERIFY(f.window->runCommand(40023));
    const LineRecord& l = d.lines[0];
    QCOMPARE(l.rectx, 194.5f);
    chooseRedBrush(paintPanel(f), 0);  // one pixel, full colour
    f.click(kCentre, kCentre);
    QCOMPARE(picture(f).pixel(kCentre - 194, kCentre - int(l.recty)), 0x0000FFu);
    QCOMPARE(picture(f).pixel(kCentre - 195, kCentre - int(l.recty)), 0xFFFFFFu);
  }

  void undoReachesBackFourStrokesAtMost() {
    WindowFixture f;
    buildImageLine(f);
    QVERIFY(f.window->runCommand(40023));
    chooseRedBrush(paintPanel(f), 2);  // 4 x 4
    std::vector<ImageSlot> states{picture(f)};
    for (int i = 0; i < 6; ++i) {
      f.click(220 + 25 * i, kCentre);
      states.push_back(picture(f));
    }
    QCOMPARE(f.window->session().paintRing().undoCount(), 4);
    for (int i = 0; i < 6; ++i) f.window->undo();
    // Six strokes, six undos: only four steps back, to the picture after the second stroke.
    QVERIFY(picture(f) == states[2]);
    QCOMPARE(f.window->session().paintRing().undoCount(), 0);
    QCOMPARE(f.doc().edit.mode, int(kModePaint));

    // Entering the mode again starts a new ring from the current picture.
    QVERIFY(f.window->runCommand(40023));
    f.window->undo();
    QVERIFY(picture(f) == states[2]);
  }
};

QTEST_MAIN(TestPaintMode)
#include "tst_paint_mode.moc"
