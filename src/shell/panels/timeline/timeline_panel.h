#pragma once
// The timeline panel "タイムライン": the strip of frames with the animation's keys and the
// current frame, the key buttons (add the figure's pose as a key, delete, move), the easing of
// the key at the current frame, frames per second and length, play / stop with loop, the onion
// skin switch, "図に適用", which gives the figure the pose of the current frame, and the undo and
// redo of key edits (元に戻す / やり直し, Ctrl+Z / Ctrl+Y inside the panel). Like every
// panel it only reports what was asked; the timeline (timeline.h) does it.

#include <vector>

#include "engine/animation.h"
#include "shell/panel.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace tovala {

class FrameStrip;

class TimelinePanel : public Panel {
  Q_OBJECT

 public:
  // What the panel asks for; read with the fields below by the timeline.
  enum Action : int {
    kNone = 0,
    kScrub,     // show currentFrame() while the strip is dragged
    kScrubEnd,  // the drag ended
    kFrame,     // currentFrame() chosen by a key's mark or the frame field: show it
    kAddKey,    // the figure's pose as a key at currentFrame()
    kDeleteKey,
    kMoveKey,  // moveFrom() to moveTo()
    kEasing,   // easing() for the key at currentFrame()
    kFps,
    kLength,
    kPlay,
    kStop,
    kApplyPose,  // the figure takes the pose of currentFrame()
    kOnionSkin,  // onionSkin() switched
    kUndo,       // the last key edit undone (元に戻す, Ctrl+Z in the panel)
    kRedo,       // and done again (やり直し, Ctrl+Y or Ctrl+Shift+Z)
  };

  TimelinePanel(const Animation& anim, QWidget* parent);

  int currentFrame() const { return current_; }
  int moveFrom() const { return moveFrom_; }
  int moveTo() const { return moveTo_; }
  Easing easing() const;
  int fps() const;
  int length() const;
  bool loop() const;
  bool onionSkin() const;

  // The frame the strip marks, set by the timeline while playing; not reported back.
  void setCurrentFrame(int frame);
  void setPlaying(bool playing);
  // Whether there is a key edit to undo and one to redo.
  void setUndoable(bool undo, bool redo);
  // Shows the animation again: keys, length, fps and the current key's easing.
  void refresh() override;

  FrameStrip* strip() const { return strip_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void askMoveTarget();
  void frameChosen(int frame, Action action);

  const Animation& anim_;
  std::vector<int> keyFrames_;  // the keys' frames, for the strip
  int current_ = 0;
  int moveFrom_ = 0;
  int moveTo_ = 0;
  bool playing_ = false;
  FrameStrip* strip_ = nullptr;
  QSpinBox* frame_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* undo_ = nullptr;
  QPushButton* redo_ = nullptr;
  QPushButton* deleteKey_ = nullptr;
  QPushButton* moveKey_ = nullptr;
  QComboBox* easing_ = nullptr;
  QSpinBox* fps_ = nullptr;
  QSpinBox* length_ = nullptr;
  QCheckBox* loop_ = nullptr;
  QCheckBox* onion_ = nullptr;
};

}  // namespace tovala
