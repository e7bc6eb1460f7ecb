#pragma once
// The pose panel "ポーズ" (表示 → ポーズ): the pose files of one folder, each with a picture of
// the figure in that pose, and the buttons 保存, 適用, 削除 and 名前変更, plus フォルダ… to
// choose the folder. Until the user chooses one, the folder is `poses` beside the project (or
// beside the start folder for a figure never saved). Like every panel it only reports what was
// asked; the window's handler (pose_panel_window.cpp) does it.

#include <filesystem>
#include <string>

#include "shell/panel.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;

inline constexpr const char* kPoseFileExtension = ".json";
inline constexpr int kPoseThumbnailSize = 96;
inline constexpr int kMaxListedPoses = 500;

class PosePanel : public Panel {
  Q_OBJECT

 public:
  // Action codes.
  static constexpr int kSave = 1;
  static constexpr int kApply = 2;
  static constexpr int kDelete = 3;
  static constexpr int kRename = 4;
  static constexpr int kChooseFolder = 5;

  PosePanel(const Document& doc, QWidget* parent);

  // The folder the list shows: the one chosen, else `defaultFolder`.
  std::filesystem::path folder() const;
  void setDefaultFolder(std::filesystem::path folder);
  void setFolder(std::filesystem::path folder);

  // The pose names (file names without ".json") in name order, and the selected one ("" when
  // none is selected).
  std::vector<std::string> names() const;
  std::string selectedName() const;
  void selectName(const std::string& name);
  std::filesystem::path pathOf(const std::string& name) const;

  // Lists the folder again, drawing each pose's picture from the figure as it is now.
  void refresh() override;

  QListWidget* list() const { return list_; }
  QPushButton* button(int action) const;

 private:
  const Document& doc_;
  std::filesystem::path chosen_, default_;
  QLabel* folderLabel_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* buttons_[5] = {};
};

}  // namespace tovala
