#include "shell/panels/timeline/timeline_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/animation_file.h"
#include "shell/panels/timeline/frame_strip.h"

namespace tovala {

namespace {

constexpr const char* kPlayText = "再生";
constexpr const char* kStopText = "停止";

QPushButton* button(const char* name, const char* text, const char* tip) {
  auto* b = new QPushButton(QString::fromUtf8(text));
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setToolTip(QString::fromUtf8(tip));
  return b;
}

QSpinBox* spin(const char* name, const char* tip) {
  auto* s = new QSpinBox;
  s->setObjectName(name);
  s->setToolTip(QString::fromUtf8(tip));
  s->setKeyboardTracking(false);  // one change when typing ends, not one per digit
  return s;
}

QLabel* label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

}  // namespace

TimelinePanel::TimelinePanel(const Animation& anim, QWidget* parent)
    : Panel(PanelId::Timeline, PanelMessage::Timeline, parent), anim_(anim) {
  setObjectName("timeline");
  setWindowTitle(QString::fromUtf8("タイムライン"));

  strip_ = new FrameStrip;
  connect(strip_, &FrameStrip::scrubbed, this, [this](int f) { frameChosen(f, kScrub); });
  connect(strip_, &FrameStrip::scrubEnded, this, [this] { request(kScrubEnd); });
  connect(strip_, &FrameStrip::keyClicked, this, [this](int f) { frameChosen(f, kFrame); });
  connect(strip_, &FrameStrip::keyDragged, this, [this](int from, int to) {
    moveFrom_ = from;
    moveTo_ = to;
    request(kMoveKey);
  });

  frame_ = spin("frame", "現在のフレーム");
  connect(frame_, &QSpinBox::valueChanged, this, [this](int f) { frameChosen(f, kFrame); });
  play_ = button("play", kPlayText,
                 "アニメーションをコマ/秒の速さで再生します。停止すると図は元のポーズに戻ります");
  play_->setCheckable(true);
  connect(play_, &QPushButton::clicked, this, [this] { request(playing_ ? kStop : kPlay); });
  loop_ = new QCheckBox(QString::fromUtf8("ループ"));
  loop_->setObjectName("loop");
  loop_->setToolTip(QString::fromUtf8("最後のフレームの次に最初のフレームへ戻って再生を続けます"));
  loop_->setChecked(true);
  onion_ = new QCheckBox(QString::fromUtf8("オニオンスキン"));
  onion_->setObjectName("onion");
  onion_->setToolTip(QString::fromUtf8(
      "前のキー(赤)と次のキー(青)のポーズを図の上に薄く表示します(再生中は表示しません)"));
  connect(onion_, &QCheckBox::toggled, this, [this] { request(kOnionSkin); });

  QPushButton* addKey =
      button("addKey", "キー追加", "図の今のポーズを現在のフレームのキーにします(あれば置き換え)");
  connect(addKey, &QPushButton::clicked, this, [this] { request(kAddKey); });
  deleteKey_ = button("deleteKey", "キー削除", "現在のフレームのキーを削除します");
  connect(deleteKey_, &QPushButton::clicked, this, [this] { request(kDeleteKey); });
  moveKey_ = button("moveKey", "キー移動...", "現在のフレームのキーを別のフレームへ移します");
  connect(moveKey_, &QPushButton::clicked, this, &TimelinePanel::askMoveTarget);
  easing_ = new QComboBox;
  easing_->setObjectName("easing");
  easing_->addItem(QString::fromUtf8("滑らか"), int(Easing::Smooth));
  easing_->addItem(QString::fromUtf8("直線"), int(Easing::Linear));
  easing_->setToolTip(QString::fromUtf8(
      "現在のフレームのキーから次のキーへの動き方\n滑らか: ゆっくり始まりゆっくり止まる\n"
      "直線: 一定の速さ"));
  connect(easing_, &QComboBox::activated, this, [this] { request(kEasing); });

  fps_ = spin("fps", "1秒あたりのコマ数");
  fps_->setRange(1, kMaxAnimationFps);
  connect(fps_, &QSpinBox::valueChanged, this, [this] { request(kFps); });
  length_ = spin("length", "アニメーションのフレーム数(最後のキーより短くはできません)");
  connect(length_, &QSpinBox::valueChanged, this, [this] { request(kLength); });
  undo_ = button("undoKey", "元に戻す",
                 "最後のキーの編集(追加、削除、移動、補間、コマ/秒、フレーム数)を取り消します"
                 "(Ctrl+Z)");
  connect(undo_, &QPushButton::clicked, this, [this] { request(kUndo); });
  redo_ = button("redoKey", "やり直し", "取り消したキーの編集をやり直します(Ctrl+Y)");
  connect(redo_, &QPushButton::clicked, this, [this] { request(kRedo); });
  // Inside the panel the keys undo key edits; the window's undo is for the figure.
  for (auto [keys, action] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Z), kUndo},
                              {QKeySequence(Qt::CTRL | Qt::Key_Y), kRedo},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), kRedo}}) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, a = action] { request(a); });
  }
  // The fields' own text undo would take the keys first.
  for (QSpinBox* field : {frame_, fps_, length_}) {
    field->installEventFilter(this);
    if (auto* text = field->findChild<QLineEdit*>()) text->installEventFilter(this);
  }
  setUndoable(false, false);

  QPushButton* apply =
      button("applyPose", "図に適用", "現在のフレームのポーズを図に与えます(元に戻すで戻せます)");
  connect(apply, &QPushButton::clicked, this, [this] { request(kApplyPose); });

  auto* rows = new QVBoxLayout(this);
  rows->addWidget(strip_);
  auto* playRow = new QHBoxLayout;
  playRow->addWidget(label("フレーム"));
  playRow->addWidget(frame_);
  playRow->addWidget(play_);
  playRow->addWidget(loop_);
  playRow->addWidget(onion_);
  playRow->addStretch();
  rows->addLayout(playRow);
  auto* keyRow = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(addKey), static_cast<QWidget*>(deleteKey_),
                     static_cast<QWidget*>(moveKey_)})
    keyRow->addWidget(w);
  keyRow->addWidget(label("補間"));
  keyRow->addWidget(easing_);
  keyRow->addStretch();
  keyRow->addWidget(undo_);
  keyRow->addWidget(redo_);
  rows->addLayout(keyRow);
  auto* timeRow = new QHBoxLayout;
  timeRow->addWidget(label("コマ/秒"));
  timeRow->addWidget(fps_);
  timeRow->addWidget(label("フレーム数"));
  timeRow->addWidget(length_);
  timeRow->addStretch();
  timeRow->addWidget(apply);
  rows->addLayout(timeRow);
  refresh();
}

Easing TimelinePanel::easing() const { return Easing(easing_->currentData().toInt()); }
int TimelinePanel::fps() const { return fps_->value(); }
int TimelinePanel::length() const { return length_->value(); }
bool TimelinePanel::loop() const { return loop_->isChecked(); }
bool TimelinePanel::onionSkin() const { return onion_->isChecked(); }

void TimelinePanel::frameChosen(int frame, Action action) {
  current_ = std::clamp(frame, 0, std::max(0, anim_.length - 1));
  request(action);
  refresh();
}

void TimelinePanel::setCurrentFrame(int frame) {
  current_ = std::clamp(frame, 0, std::max(0, anim_.length - 1));
  refresh();
}

void TimelinePanel::setPlaying(bool playing) {
  playing_ = playing;
  play_->setChecked(playing);
  play_->setText(QString::fromUtf8(playing ? kStopText : kPlayText));
}

void TimelinePanel::setUndoable(bool undo, bool redo) {
  undo_->setEnabled(undo);
  redo_->setEnabled(redo);
}

bool TimelinePanel::eventFilter(QObject* watched, QEvent* event) {
  // Left unaccepted, the override lets the panel's shortcut have the keys.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination keys = key->keyCombination();
    if (keys == QKeyCombination(Qt::CTRL, Qt::Key_Z) ||
        keys == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
        keys == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
      event->ignore();
      return true;
    }
  }
  return Panel::eventFilter(watched, event);
}

void TimelinePanel::refresh() {
  current_ = std::clamp(current_, 0, std::max(0, anim_.length - 1));
  // Refreshed on every frame of playback: the list keeps its memory from one call to the next.
  keyFrames_.clear();
  for (const AnimationKey& k : anim_.keys) keyFrames_.push_back(k.frame);
  strip_->show(anim_.length, keyFrames_, current_);
  const int key = keyIndexAt(anim_, current_);
  const QSignalBlocker quietFrame(frame_), quietFps(fps_), quietLength(length_);
  frame_->setRange(0, std::max(0, anim_.length - 1));
  frame_->setValue(current_);
  fps_->setValue(anim_.fps);
  // A key must stay inside the animation: the length cannot drop below the last key.
  length_->setRange(keyFrames_.empty() ? 1 : keyFrames_.back() + 1, kMaxAnimationLength);
  length_->setValue(anim_.length);
  deleteKey_->setEnabled(key >= 0);
  moveKey_->setEnabled(key >= 0);
  easing_->setEnabled(key >= 0);
  if (key >= 0) {
    const QSignalBlocker quiet(easing_);
    easing_->setCurrentIndex(easing_->findData(int(anim_.keys[size_t(key)].easing)));
  }
}

void TimelinePanel::askMoveTarget() {
  if (keyIndexAt(anim_, current_) < 0) return;
  bool ok = false;
  const int to =
      QInputDialog::getInt(this, QString::fromUtf8("キー移動"),
                           QString::fromUtf8("フレーム %1 のキーの移動先フレーム:").arg(current_),
                           current_, 0, std::max(0, anim_.length - 1), 1, &ok);
  if (!ok || to == current_) return;
  moveFrom_ = current_;
  moveTo_ = to;
  request(kMoveKey);
}

}  // namespace tovala
