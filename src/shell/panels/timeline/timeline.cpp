#include "shell/panels/timeline/timeline.h"

#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "engine/animation_file.h"
#include "engine/reference.h"
#include "platform/ui.h"
#include "script/pose_apply.h"
#include "shell/canvas_widget.h"
#include "shell/command_rules.h"
#include "shell/core_calls.h"
#include "shell/main_window.h"
#include "shell/motion_mode.h"
#include "shell/panels/pose/pose_panel_window.h"
#include "shell/panels/timeline/export_command.h"
#include "shell/panels/timeline/held_messages.h"
#include "shell/panels/timeline/onion_skin.h"
#include "shell/panels/timeline/timeline_panel.h"

namespace tovala {

namespace {

constexpr const char* kCaption = "タイムライン";
constexpr const char* kNoKeys = "キーがありません。「キー追加」で図のポーズをキーにしてください。";
constexpr const char* kKeyInTheWay = "移動先のフレームには既にキーがあります。";
constexpr size_t kKeyUndoSteps = 20;
constexpr int kOnionSkinDelayMs = 150;  // after the last redraw of a run of edits

// Whether the figure can be shown in a pose; otherwise the reason, for the message.
const char* poseRefusal(Document& d) {
  if (d.lineCount() <= 1) return kNoLines;
  if (d.modelScale != 1.0f) return kScaledModelRefusal;
  // Without reference positions a pose would put points at (0, 0, 0).
  if (checkReference(d, 0, -1) == -1) return kNoReferenceNotice;
  return nullptr;
}

// Whether two states of the figure draw the same: everything but the selection.
bool sameFigure(const ModelState& a, const ModelState& b) {
  if (a.present != b.present) return false;
  const bool sameImages = a.userImages == b.userImages ||
                          (a.userImages && b.userImages && *a.userImages == *b.userImages);
  return sameImages && a.imageWidth == b.imageWidth && a.imageHeight == b.imageHeight &&
         a.backColor == b.backColor && a.penColor == b.penColor && a.defSpMin == b.defSpMin &&
         a.defSpMax == b.defSpMax && a.defSpDspX == b.defSpDspX && a.defSpDspY == b.defSpDspY &&
         a.defBrush == b.defBrush && a.lines == b.lines && a.imageKeys == b.imageKeys &&
         a.texts == b.texts && a.lineOrder == b.lineOrder && a.objects == b.objects &&
         a.scratchObject == b.scratchObject && a.objectBackup == b.objectBackup &&
         a.curObject == b.curObject && a.objectView == b.objectView &&
         a.frontToBack == b.frontToBack && a.skinColor == b.skinColor &&
         a.modelScale == b.modelScale && a.faceRef == b.faceRef && a.perLine == b.perLine &&
         a.showUnderlay == b.showUnderlay && a.markSize == b.markSize && a.whole == b.whole;
}

bool isKeyEdit(int action) {
  switch (action) {
    case TimelinePanel::kAddKey:
    case TimelinePanel::kDeleteKey:
    case TimelinePanel::kMoveKey:
    case TimelinePanel::kEasing:
    case TimelinePanel::kFps:
    case TimelinePanel::kLength: return true;
    default: return false;
  }
}

}  // namespace

Timeline::Timeline(TMyWindow& w) : QObject(&w), w_(w), anim_(w.session().animation()) {
  setObjectName("timelineState");
  panel_ = new TimelinePanel(anim_, &w);
  // Neither a save nor a replaced document meets the figure in a pose the preview lent it.
  DocumentSession& session = w.session();
  connect(&session, &DocumentSession::aboutToSave, this, &Timeline::endPreview);
  connect(&session, &DocumentSession::aboutToReplace, this, &Timeline::endPreview);
  connect(&session, &DocumentSession::animationReplaced, this, &Timeline::replaced);
  w.setPanelHandler(PanelMessage::Timeline, [this](Panel&) { onMessage(); });
  w.installPanel(panel_, false);
  // Closing the panel ends what it shows. The timeline is the window's older child, so the
  // window deletes it first and the panel's last Hide never reaches it.
  panel_->installEventFilter(this);
  connect(&timer_, &QTimer::timeout, this, &Timeline::tick);
  onionTimer_.setSingleShot(true);
  onionTimer_.setInterval(kOnionSkinDelayMs);
  connect(&onionTimer_, &QTimer::timeout, this, &Timeline::updateOnionSkin);
}

// --- the panel's requests ------------------------------------------------------------------

void Timeline::onMessage() {
  TimelinePanel& p = *panel_;
  const int frame = p.currentFrame();
  // A key edit is one step of the panel's undo: the animation before it, kept when it changed.
  Animation before;
  const uint64_t revisionBefore = revision_;
  if (isKeyEdit(p.action)) before = anim_;
  switch (p.action) {
    case TimelinePanel::kScrub:
      if (playing()) {
        playFrom_ = frame;
        clock_.restart();
      }
      // Without keys the strip only chooses the frame the first key goes to.
      if (anim_.keys.empty() || frameFailed_) break;
      if (beginPreview(!scrubRefused_)) {
        showFrame(frame);
      } else {
        scrubRefused_ = true;
      }
      break;
    case TimelinePanel::kScrubEnd:
      scrubRefused_ = false;
      frameFailed_ = false;
      if (!playing()) endPreview();
      break;
    case TimelinePanel::kFrame:
      // The frame field or a key's mark: the figure shows the frame until something outside the
      // panel is done, as a scrub shows it until the drag ends.
      if (playing()) {
        playFrom_ = frame;
        clock_.restart();
      }
      if (anim_.keys.empty() || frameFailed_) break;
      if (beginPreview(!frameRefused_)) {
        showFrame(frame);
      } else {
        frameRefused_ = true;
      }
      break;
    case TimelinePanel::kAddKey: addKey(); break;
    case TimelinePanel::kDeleteKey:
      if (removeKey(anim_, frame)) changed();
      break;
    case TimelinePanel::kMoveKey: moveKey(); break;
    case TimelinePanel::kEasing:
      if (const int k = keyIndexAt(anim_, frame);
          k >= 0 && anim_.keys[size_t(k)].easing != p.easing()) {
        anim_.keys[size_t(k)].easing = p.easing();
        changed();
      }
      break;
    case TimelinePanel::kFps:
      if (p.fps() != anim_.fps) {
        anim_.fps = p.fps();
        if (playing()) {
          playFrom_ = shown_;
          clock_.restart();
        }
        changed();
      }
      break;
    case TimelinePanel::kLength: setLength(); break;
    case TimelinePanel::kPlay: play(); break;
    case TimelinePanel::kStop: endPreview(); break;
    case TimelinePanel::kApplyPose: applyPoseToFigure(); break;
    case TimelinePanel::kUndo: step(undo_, redo_); break;
    case TimelinePanel::kRedo: step(redo_, undo_); break;
    default: break;
  }
  if (isKeyEdit(p.action) && revision_ != revisionBefore) {
    if (undo_.size() == kKeyUndoSteps) undo_.erase(undo_.begin());
    undo_.push_back(std::move(before));
    redo_.clear();
    panel_->setUndoable(!undo_.empty(), false);
  }
  updateOnionSkin();
}

void Timeline::step(std::vector<Animation>& from, std::vector<Animation>& to) {
  if (from.empty()) return;
  to.push_back(std::move(anim_));
  anim_ = std::move(from.back());
  from.pop_back();
  if (playing()) {  // on from the frame shown, at the speed the animation has now
    playFrom_ = std::clamp(shown_, 0, anim_.length - 1);
    clock_.restart();
  }
  changed();
}

void Timeline::addKey() {
  endPreview();  // the key takes the figure's own pose, not one the preview shows
  Document& d = w_.doc();
  if (!w_.hasLines()) {
    w_.ui().message(kNoLines, kCaption);
    return;
  }
  AnimationKey key;
  key.frame = panel_->currentFrame();
  key.pose = capturePose(d);
  // Replacing a key keeps how it eases into the next.
  if (const int old = keyIndexAt(anim_, key.frame); old >= 0)
    key.easing = anim_.keys[size_t(old)].easing;
  if (setKey(anim_, std::move(key)) >= 0) changed();
}

void Timeline::moveKey() {
  const TimelinePanel& p = *panel_;
  if (keyIndexAt(anim_, p.moveFrom()) < 0) return;
  if (!tovala::moveKey(anim_, p.moveFrom(), p.moveTo())) {
    w_.ui().message(kKeyInTheWay, kCaption);
    return;
  }
  panel_->setCurrentFrame(p.moveTo());
  changed();
}

void Timeline::setLength() {
  const int length = panel_->length();
  if (length == anim_.length) return;
  // The field's range keeps every key inside; a value outside it is put back, not taken.
  const int last = anim_.keys.empty() ? -1 : anim_.keys.back().frame;
  if (length <= last || length < 1 || length > kMaxAnimationLength) {
    panel_->refresh();
    return;
  }
  anim_.length = length;
  if (shown_ >= length) shown_ = length - 1;
  changed();
}

// "図に適用": unlike the preview this is an edit of the figure, taken as the pose panel takes one
// (one undo step outside motion mode).
void Timeline::applyPoseToFigure() {
  endPreview();
  if (anim_.keys.empty()) {
    w_.ui().message(kNoKeys, kCaption);
    return;
  }
  poseAtFrame(anim_, panel_->currentFrame(), framePose_);
  applyPoseAsStep(w_, framePose_, "OnTimelinePose");
}

void Timeline::changed() {
  frameFailed_ = false;
  ++revision_;
  w_.session().animationChanged();
  panel_->setUndoable(!undo_.empty(), !redo_.empty());
  panel_->refresh();
  // A figure showing a frame shows it as the keys now give it.
  if (previewing()) {
    if (anim_.keys.empty()) {
      endPreview();
    } else {
      shown_ = -1;
      showFrame(panel_->currentFrame());
    }
  }
}

// --- the preview ---------------------------------------------------------------------------

bool Timeline::beginPreview(bool explain) {
  if (previewing()) return true;
  Document& d = w_.doc();
  const char* refusal = anim_.keys.empty() ? kNoKeys : poseRefusal(d);
  if (refusal) {
    if (explain) w_.ui().message(refusal, kCaption);
    return false;
  }
  capture_.capture(d, snapshot_);
  snapshotEdit_ = d.edit;
  shown_ = -1;
  // Anything done outside the panel first ends the preview, so it acts on the real figure.
  qApp->installEventFilter(this);
  return true;
}

void Timeline::showFrame(int frame) {
  if (!previewing() || inFrame_ || frame == shown_) return;
  shown_ = frame;
  Document& d = w_.doc();
  HeldMessages held;
  Ui* const own = d.ui;
  d.ui = &held;
  inFrame_ = true;
  poseAtFrame(anim_, frame, framePose_);
  applyPose(d, framePose_);
  w_.rebuild();
  w_.compose();
  inFrame_ = false;
  d.ui = own;
  if (held.empty() && !endAfterFrame_) return;
  endAfterFrame_ = false;
  // The figure's own pose is back before the message opens, and the timer has stopped, so
  // nothing of the animation runs inside the message's event loop.
  const bool wasPlaying = playing();
  endPreview();
  if (held.empty()) return;
  frameFailed_ = !wasPlaying;  // playback is over; a scrub or the frame field would go on
  held.showOn(*own);
}

void Timeline::endPreview() {
  timer_.stop();
  if (panel_) panel_->setPlaying(false);
  // A frame being posed finishes first: put back now, the document would take its last steps.
  if (inFrame_) {
    endAfterFrame_ = previewing();
    return;
  }
  if (!previewing()) return;
  qApp->removeEventFilter(this);
  Document& d = w_.doc();
  restoreModelState(d, snapshot_);
  d.edit = snapshotEdit_;
  snapshot_ = ModelState{};
  capture_.forget();
  shown_ = -1;
  restoring_ = true;
  w_.rebuild();
  w_.compose();
  restoring_ = false;
  updateOnionSkin();
}

void Timeline::play() {
  if (playing()) return;
  frameFailed_ = false;
  if (!beginPreview(true)) {
    panel_->setPlaying(false);
    return;
  }
  // From the current frame, or from the start when that is the last one.
  playFrom_ = panel_->currentFrame() >= anim_.length - 1 ? 0 : panel_->currentFrame();
  showFrame(playFrom_);
  if (!previewing()) {  // the first frame failed: said, and nothing more to play
    frameFailed_ = false;
    return;
  }
  panel_->setCurrentFrame(playFrom_);
  panel_->setPlaying(true);
  playLoopLevel_ = QThread::currentThread()->loopLevel();
  clock_.start();
  timer_.start(std::max(1, 500 / anim_.fps));  // twice a frame, so no frame comes late by one
}

// The frame is worked out from the clock, not counted, so playback keeps the animation's speed
// even when drawing a frame takes longer than a frame lasts (frames are then skipped).
void Timeline::tick() {
  if (inFrame_) return;
  // Only a modal dialog or menu runs an event loop of its own: playback ends rather than going
  // on behind it.
  if (QThread::currentThread()->loopLevel() > playLoopLevel_) {
    endPreview();
    return;
  }
  const int64_t elapsed = clock_.elapsed();
  int frame = playFrom_ + int(elapsed * anim_.fps / 1000);
  if (frame >= anim_.length) {
    if (!panel_->loop()) {
      panel_->setCurrentFrame(anim_.length - 1);
      endPreview();
      return;
    }
    frame %= anim_.length;
  }
  if (frame == shown_) return;
  showFrame(frame);
  panel_->setCurrentFrame(frame);
}

bool Timeline::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel_ && event->type() == QEvent::Hide) {
    frameRefused_ = false;
    endPreview();
    updateOnionSkin();
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() != panel_)
        endPreview();
      break;
    case QEvent::Show:
      // A message or dialog opening: the document's own pose is back before it shows.
      if (watched->isWidgetType()) {
        const auto* shown = static_cast<QWidget*>(watched);
        if (shown->isWindow() && shown->isModal()) endPreview();
      }
      break;
    default: break;
  }
  return false;
}

// --- the onion skin ------------------------------------------------------------------------

void Timeline::figureComposed() {
  // A preview's frames are not edits of the figure, nor is putting its own pose back.
  if (previewing()) return;
  if (!restoring_) frameFailed_ = false;
  figureDirty_ = true;
  frameRefused_ = false;
  if (onionSkinShown()) onionTimer_.start();
}

bool Timeline::onionSkinShown() const {
  return panel_ && panel_->isVisible() && panel_->onionSkin() && !playing();
}

void Timeline::updateOnionSkin() {
  CanvasWidget* canvas = w_.canvas();
  if (!canvas) return;
  const bool shown = onionSkinShown();
  // The figure is compared only while the skin is shown and the document holds its own pose;
  // a hidden skin keeps the mark and is compared when it is shown again.
  bool figureChanged = false;
  if (shown && figureDirty_ && !previewing()) {
    onionCapture_.capture(w_.doc(), figureNow_);
    figureDirty_ = false;
    figureChanged = !sameFigure(figureNow_, onionFigure_);
    if (figureChanged) std::swap(onionFigure_, figureNow_);
  }
  int before = -1, after = -1;
  if (shown) {
    const int frame = panel_->currentFrame();
    for (const AnimationKey& k : anim_.keys) {
      if (k.frame < frame) before = int(&k - anim_.keys.data());
      if (k.frame > frame && after < 0) after = int(&k - anim_.keys.data());
    }
  }
  if (!figureChanged && before == onionBefore_ && after == onionAfter_ &&
      onionRevision_ == revision_)
    return;
  onionBefore_ = before;
  onionAfter_ = after;
  onionRevision_ = revision_;
  // A key's pose sets every joint of the figure it was taken from, so the skin is the same
  // whichever pose the figure shows now, a preview's included. It is drawn again when the keys
  // around the current frame, the animation or the figure change.
  canvas->setOnionSkin(drawOnionSkin(w_.doc(),
                                     before >= 0 ? &anim_.keys[size_t(before)].pose : nullptr,
                                     after >= 0 ? &anim_.keys[size_t(after)].pose : nullptr));
}

// --- a new animation ------------------------------------------------------------------------

void Timeline::replaced() {
  endPreview();
  frameFailed_ = false;
  undo_.clear();
  redo_.clear();
  panel_->setUndoable(false, false);
  figureDirty_ = true;
  ++revision_;
  panel_->setCurrentFrame(0);
  updateOnionSkin();
}

// --- installation --------------------------------------------------------------------------

void installTimeline(TMyWindow& w) {
  auto* t = new Timeline(w);
  CommandTable& table = w.commands();
  table.set({kCommandTimeline, "", [](TMyWindow& win) { togglePanel(win, PanelId::Timeline); },
             [](TMyWindow& win) { return panelToggle(win, PanelId::Timeline); }, true, false,
             {"タイムライン", "表示", kCommandPosePanel}});
  table.set({kCommandExportAnimation, "", exportAnimationCommand,
             [](TMyWindow& win) { return enabledIf(win.hasLines()); }, false, false,
             {"アニメーション書出", "ファイル/保存", kCommandExportPng}});

  // The draw call is the process's; each window installs it afresh, and a call outliving its
  // window's timeline only draws.
  CoreCalls& c = core();
  // Every change of the figure ends in the window drawing it again: the onion skin follows.
  if (c.buildDisplay) {
    c.buildDisplay = [t = QPointer<Timeline>(t), build = c.buildDisplay](Document& d) {
      build(d);
      if (t) t->figureComposed();
    };
  }
}

Timeline* timelineOf(TMyWindow& w) {
  return w.findChild<Timeline*>("timelineState", Qt::FindDirectChildrenOnly);
}

}  // namespace tovala
