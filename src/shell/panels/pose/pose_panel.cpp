#include "shell/panels/pose/pose_panel.h"

#include <algorithm>
#include <system_error>

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "engine/pose_file.h"
#include "model/document.h"
#include "shell/panels/pose/pose_thumbnail.h"

namespace tovala {

namespace {

namespace fs = std::filesystem;

QString fromPath(const fs::path& p) { return QString::fromStdString(p.string()); }

struct ButtonText {
  int action;
  const char* label;
  const char* tip;
};
constexpr ButtonText kButtons[] = {
    {PosePanel::kSave, "保存", "今のポーズに名前を付けてこのフォルダに保存する"},
    {PosePanel::kApply, "適用", "選んだポーズを図に当てはめる(元に戻すで戻せる)"},
    {PosePanel::kDelete, "削除", "選んだポーズのファイルを消す"},
    {PosePanel::kRename, "名前変更", "選んだポーズの名前を変える"},
    {PosePanel::kChooseFolder, "フォルダ…", "ポーズを置くフォルダを選ぶ"},
};

}  // namespace

PosePanel::PosePanel(const Document& doc, QWidget* parent)
    : Panel(PanelId::Pose, PanelMessage::Pose, parent), doc_(doc) {
  setObjectName("pose");
  setWindowTitle(QString::fromUtf8("ポーズ"));
  auto* grid = new QGridLayout(this);
  folderLabel_ = new QLabel;
  folderLabel_->setObjectName("poseFolder");
  folderLabel_->setMinimumWidth(1);
  grid->addWidget(folderLabel_, 0, 0, 1, 3);
  list_ = new QListWidget;
  list_->setObjectName("poseList");
  list_->setIconSize(QSize(kPoseThumbnailSize, kPoseThumbnailSize));
  list_->setViewMode(QListView::IconMode);
  list_->setResizeMode(QListView::Adjust);
  list_->setMovement(QListView::Static);
  list_->setWordWrap(true);
  list_->setGridSize(QSize(kPoseThumbnailSize + 24, kPoseThumbnailSize + 36));
  list_->setMinimumSize(3 * (kPoseThumbnailSize + 24) + 8, 2 * (kPoseThumbnailSize + 36) + 8);
  grid->addWidget(list_, 1, 0, 1, 3);
  int i = 0;
  for (const ButtonText& button : kButtons) {
    auto* b = new QPushButton(QString::fromUtf8(button.label));
    b->setToolTip(QString::fromUtf8(button.tip));
    b->setAutoDefault(false);
    buttons_[size_t(button.action - 1)] = b;
    const int action = button.action;
    connect(b, &QPushButton::clicked, this, [this, action] { request(action); });
    if (action == kChooseFolder)
      grid->addWidget(b, 0, 3);
    else
      grid->addWidget(b, 2 + i / 3, i % 3), ++i;
  }
  // A double click applies, as 適用 does.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { request(kApply); });
}

QPushButton* PosePanel::button(int action) const {
  return action >= 1 && action <= 5 ? buttons_[size_t(action - 1)] : nullptr;
}

fs::path PosePanel::folder() const { return chosen_.empty() ? default_ : chosen_; }

void PosePanel::setDefaultFolder(fs::path folder) { default_ = std::move(folder); }

void PosePanel::setFolder(fs::path folder) {
  chosen_ = std::move(folder);
  refresh();
}

fs::path PosePanel::pathOf(const std::string& name) const {
  return folder() / fs::path(name + kPoseFileExtension);
}

std::vector<std::string> PosePanel::names() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder(), ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() != kPoseFileExtension || !it->is_regular_file(ec)) continue;
    out.push_back(p.stem().string());
  }
  std::sort(out.begin(), out.end());
  if (out.size() > size_t(kMaxListedPoses)) out.resize(size_t(kMaxListedPoses));
  return out;
}

std::string PosePanel::selectedName() const {
  const QListWidgetItem* item = list_->currentItem();
  return item && item->isSelected() ? item->text().toStdString() : std::string();
}

void PosePanel::selectName(const std::string& name) {
  const QString text = QString::fromStdString(name);
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->text() == text) list_->setCurrentRow(i);
}

void PosePanel::refresh() {
  const QString folderText = fromPath(folder());
  folderLabel_->setToolTip(folderText);
  folderLabel_->setText(QFontMetrics(folderLabel_->font())
                            .elidedText(folderText, Qt::ElideLeft, std::max(200, width() - 120)));
  const std::string keep = selectedName();
  list_->clear();
  const std::vector<std::string> found = names();
  if (found.empty()) return;
  // One copy of the figure for all the pictures; a file that cannot be read shows the figure
  // as it is, and says so in its tip.
  PoseThumbnails pictures(doc_);
  for (const std::string& name : found) {
    Pose pose = capturePose(doc_);
    std::string reason;
    const bool read = loadPoseFile(pathOf(name).string(), pose, reason);
    auto* item =
        new QListWidgetItem(QIcon(QPixmap::fromImage(pictures.draw(pose, kPoseThumbnailSize))),
                            QString::fromStdString(name));
    item->setToolTip(read ? QString::fromStdString(name)
                          : QString::fromUtf8(kPoseReadFailed) + "\n" +
                                QString::fromStdString(reason));
    list_->addItem(item);
  }
  if (!keep.empty()) selectName(keep);
}

}  // namespace tovala
