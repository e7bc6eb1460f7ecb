#pragma once
// The timeline's strip of frames: one cell per frame from 0 to length - 1, a diamond on every
// key, the current frame as a red bar. A press on a key's diamond takes the key: dragging moves
// it, a plain click makes its frame the current one. A press anywhere else scrubs: the frame
// under the mouse becomes current as it moves, and the end of the drag is reported.

#include <QWidget>

#include <vector>

namespace tovala {

class FrameStrip : public QWidget {
  Q_OBJECT

 public:
  explicit FrameStrip(QWidget* parent = nullptr);

  // What the strip shows; keys are frames in rising order.
  void show(int length, const std::vector<int>& keys, int current);

  // The frame whose cell holds x (clamped into the strip), and the middle of a frame's cell.
  int frameAt(double x) const;
  double xOf(int frame) const;

  QSize sizeHint() const override { return {480, 48}; }
  QSize minimumSizeHint() const override { return {160, 48}; }

 signals:
  void scrubbed(int frame);
  void scrubEnded();
  void keyClicked(int frame);
  void keyDragged(int from, int to);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { None, Scrub, Key };
  // The key whose diamond lies under x, or -1.
  int keyAt(double x, double y) const;

  int length_ = 1;
  std::vector<int> keys_;
  int current_ = 0;
  Drag drag_ = Drag::None;
  int dragKey_ = -1;     // the frame of the key taken
  int dragTarget_ = -1;  // where it would go
  int lastScrub_ = -1;
};

}  // namespace tovala
