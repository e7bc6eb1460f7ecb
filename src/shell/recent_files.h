#pragma once
// The projects opened or saved last, newest first, as every desktop program keeps them: at most
// ten, each once, remembered between runs in the editor's settings. The list is shown in ファイル →
// 最近使ったファイル; a file that is no longer there is shown greyed and can be taken off the list.

#include <QObject>
#include <QStringList>

class QMenu;
class QSettings;

namespace tovala {

class TMyWindow;

class RecentFiles : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxFiles = 10;

  explicit RecentFiles(QObject* parent = nullptr);

  // Where the list is kept between runs; the list is read from it now. Without settings the list
  // lives as long as the window.
  void setSettings(QSettings* settings);

  const QStringList& paths() const { return paths_; }
  // `path` to the front (absolute, once); the oldest beyond kMaxFiles drop off.
  void add(const QString& path);
  void remove(const QString& path);
  // Every entry whose file is gone; returns how many went.
  int removeMissing();
  void clear();

 signals:
  void changed();

 private:
  void store();

  QStringList paths_;
  QSettings* settings_ = nullptr;
};

// The window's list, or nullptr before installRecentFiles.
RecentFiles* recentFilesOf(TMyWindow& w);

// Makes the list, keeps it in step with the document's file (every open and save puts it in
// front) and adds ファイル → 最近使ったファイル.
void installRecentFiles(TMyWindow& w);

// Fills `menu` with the list as it is now: one item per file (greyed when the file is gone),
// then 見つからないファイルを一覧から消す and 一覧を消去. Choosing a file opens it as 普通読込 does
// after its dialog (offering to save unsaved changes first).
void fillRecentMenu(TMyWindow& w, QMenu* menu);

// Opens `path` as the project, offering to save unsaved changes first; refused in motion mode.
// False when nothing was opened.
bool openRecentProject(TMyWindow& w, const std::string& path);

}  // namespace tovala
