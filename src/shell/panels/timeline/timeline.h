#pragma once
// Everything the timeline panel asks of the document's animation: keys added from the figure's
// pose, deleted, moved and eased; frames per second and length; the preview, in which scrubbing
// and playback show the poses between the keys on the figure; and the onion skin. The animation
// itself is the document session's, read and written with the project.
//
// A preview never changes the document: it starts with a snapshot of everything a pose can
// touch and ends by putting the snapshot back. Dragging on the strip, stepping the frame field
// and clicking a key's mark all show the frame they reach. A preview ends when the scrub ends or
// playback stops, and before anything else can act on the figure: a click or a key anywhere
// outside the panel, the panel closing, a save or an open.
//
// Key edits (add, delete, move, easing, fps, length) are undone in the panel, not by the
// window's undo: the window's steps are states of the document, and the animation lives in its
// own file beside it.

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <string>
#include <vector>

#include "engine/animation.h"
#include "model/model_state.h"
#include "shell/panels/timeline/timeline_panel.h"

namespace tovala {

class TMyWindow;

class Timeline : public QObject {
  Q_OBJECT

 public:
  explicit Timeline(TMyWindow& w);

  const Animation& animation() const { return anim_; }
  TimelinePanel* panel() const { return panel_; }
  bool playing() const { return timer_.isActive(); }
  bool previewing() const { return snapshot_.present; }
  int undoCount() const { return int(undo_.size()); }
  int redoCount() const { return int(redo_.size()); }

  // Stops playback and puts the document's own pose back, redrawn.
  void endPreview();
  // The window drew the document again, perhaps after an edit of the figure: the onion skin is
  // checked against it once the edits pause (at once it would be drawn on every mouse move).
  void figureComposed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onMessage();
  void addKey();
  void moveKey();
  void setLength();
  void applyPoseToFigure();
  void changed();
  // Undo and redo of key edits: the animation as it was before the last edit, and back.
  void step(std::vector<Animation>& from, std::vector<Animation>& to);
  // The session's animation was replaced with its document: the key edits' steps go.
  void replaced();

  bool beginPreview(bool explain);
  // Puts the figure into the frame's pose. Messages its programs raise are held until the pose
  // is done; then playback and the preview end and the messages are shown, once.
  void showFrame(int frame);
  void play();
  void tick();
  bool onionSkinShown() const;
  void updateOnionSkin();

  TMyWindow& w_;
  Animation& anim_;  // the session's
  QPointer<TimelinePanel> panel_;
  ModelState snapshot_;       // the document's own state while a preview shows other poses
  EditState snapshotEdit_;
  ModelStateCapture capture_;
  Pose framePose_;             // reused for every frame shown
  bool scrubRefused_ = false;  // the refusal was shown once for this drag
  // The refusal was shown once for the frame field and the key marks; shown again after the
  // figure changes or the panel is closed.
  bool frameRefused_ = false;
  std::vector<Animation> undo_, redo_;  // the oldest first
  QTimer timer_;
  QElapsedTimer clock_;
  int playFrom_ = 0;  // the frame shown when the clock started
  int playLoopLevel_ = 0;      // the event loops running when playback started
  bool inFrame_ = false;       // showFrame is posing the figure
  bool endAfterFrame_ = false;  // the preview was ended meanwhile: ended once the frame is done
  bool restoring_ = false;     // endPreview draws the figure's own pose again
  // A frame's programs reported an error: scrubbing and the frame field show no frames until
  // the drag ends, the keys or the figure change (a new play tries again).
  bool frameFailed_ = false;
  int shown_ = -1;    // the frame the figure shows during a preview
  // The onion skin drawn last, and the keys, animation and figure it was drawn for.
  int onionBefore_ = -2, onionAfter_ = -2;
  uint64_t onionRevision_ = 0, revision_ = 1;
  bool figureDirty_ = true;  // composed since the figure was last compared with onionFigure_
  ModelState onionFigure_, figureNow_;
  ModelStateCapture onionCapture_;
  QTimer onionTimer_;
};

// Makes the timeline and its panel, binds 表示 → タイムライン and アニメーション書出.
void installTimeline(TMyWindow& w);
// The window's timeline, or nullptr before installTimeline.
Timeline* timelineOf(TMyWindow& w);

}  // namespace tovala
