#pragma once
// The editor's animation and everything the timeline panel asks of it: keys added from the
// figure's pose, deleted, moved and eased; frames per second and length; the preview, in which
// scrubbing and playback show the poses between the keys on the figure; the onion skin; and the
// animation file beside the project (NAME.tovanim), written when the project is saved and read
// when it is opened.
//
// A preview never changes the document: it starts with a snapshot of everything a pose can
// touch and ends by putting the snapshot back. It ends when the scrub ends or playback stops,
// and before anything else can act on the figure: a click or a key anywhere outside the panel,
// the panel closing, a save or an open.

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <string>

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

  // Stops playback and puts the document's own pose back, redrawn.
  void endPreview();

  // A new, empty animation, for a new document.
  void reset();
  // The animation of the project at `projectPath`: read from its file when there is one (a
  // damaged file is refused with a message and the animation starts empty), otherwise empty.
  void loadBeside(const std::string& projectPath);
  // Writes the animation beside the project at `projectPath`. An animation never given a key
  // writes nothing, and neither does one whose file was refused and that was not edited since,
  // so the damaged file is still there to be mended. False (after a message) when the write
  // failed.
  bool saveBeside(const std::string& projectPath);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onMessage();
  void addKey();
  void moveKey();
  void setLength();
  void applyPoseToFigure();
  void changed();
  // The animation becomes `anim`, unedited; `refused`: the file beside the project was damaged.
  void replace(Animation anim, bool refused);

  bool beginPreview(bool explain);
  void showFrame(int frame);
  void play();
  void tick();
  void updateOnionSkin();

  TMyWindow& w_;
  Animation anim_;
  QPointer<TimelinePanel> panel_;
  bool edited_ = false;       // keys, fps or length changed since the file was read or written
  bool keepRefused_ = false;  // the file beside the project was refused: do not write over it
  ModelState snapshot_;       // the document's own state while a preview shows other poses
  EditState snapshotEdit_;
  ModelStateCapture capture_;
  Pose framePose_;             // reused for every frame shown
  bool scrubRefused_ = false;  // the refusal was shown once for this drag
  QTimer timer_;
  QElapsedTimer clock_;
  int playFrom_ = 0;  // the frame shown when the clock started
  int shown_ = -1;    // the frame the figure shows during a preview
  // The onion skin drawn last, and the keys and animation it was drawn for.
  int onionBefore_ = -2, onionAfter_ = -2;
  uint64_t onionRevision_ = 0, revision_ = 1;
};

// Makes the timeline and its panel, binds 表示 → タイムライン and the project's open and save
// to it.
void installTimeline(TMyWindow& w);
// The window's timeline, or nullptr before installTimeline.
Timeline* timelineOf(TMyWindow& w);

}  // namespace tovala
