#pragma once
// Autosave and crash recovery. While the document has unsaved changes, a copy of it and of its
// animation is written every few minutes into the work folder ("temp"), never over the user's
// file: autosave.tov, autosave.tovanim beside it, and autosave.txt naming the document's own
// file. Each file is written atomically. A save that leaves the document unmodified, a new
// document and a clean exit remove the copy, so a copy found at start-up is what an editor that
// was killed or crashed left behind: the user is asked "前回の作業を復元しますか?" with the time of
// the copy, and recovering opens it as a modified document under its own name (or untitled).
//
// One editor owns a work folder's copy at a time (a lock file beside it); a second editor
// started in the same folder neither writes nor offers one.

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <string>

class QSettings;

namespace tovala {

class TMyWindow;

inline constexpr int kDefaultAutosaveMinutes = 2;
inline constexpr int kMostAutosaveMinutes = 60;
inline constexpr const char* kRecoveryQuestion = "前回の作業を復元しますか?";

// The three files of a copy in `folder`.
struct RecoveryFiles {
  std::filesystem::path folder;
  std::filesystem::path project() const { return folder / "autosave.tov"; }
  std::filesystem::path note() const { return folder / "autosave.txt"; }
  std::filesystem::path lock() const { return folder / "autosave.lock"; }
};

class Autosave : public QObject {
  Q_OBJECT

 public:
  // Copies go into `folder`; nothing is written until an interval is set.
  Autosave(TMyWindow& w, std::filesystem::path folder);
  // A clean exit: the copy goes.
  ~Autosave() override;

  // False when another editor owns the folder's copy: this one then does nothing.
  bool owner() const { return owner_; }
  // Milliseconds between copies; 0 turns autosave off.
  void setInterval(int ms);
  int interval() const { return intervalMs_; }

  // Writes the copy when the document has changes the copy lacks and nothing is half done
  // (a preview showing borrowed poses, the side view, a drag, an open dialog). True when written.
  bool saveNow();
  bool hasCopy() const;
  QDateTime copyTime() const;
  void discardCopy();
  // At start-up: when a copy is there, asks whether to recover it; Yes opens it (modified,
  // named as the document it came from), No removes it. True when it was recovered.
  bool offerRecovery();

 private:
  bool quietNow() const;
  void tick();

  TMyWindow& w_;
  RecoveryFiles files_;
  QLockFile lock_;
  bool owner_ = false;
  int intervalMs_ = 0;
  QTimer timer_;
  bool recovering_ = false;     // opening the copy: its unmodified state removes nothing
  bool failureShown_ = false;  // a failed copy is reported once until one succeeds
};

// Autosave for the window's work folder: the interval from `settings` ("autosave/minutes",
// 2 by default, 0 off) unless TOVALA_AUTOSAVE_MS gives milliseconds, and ファイル →
// 自動保存の間隔… to change it. Returns the window's autosave (its child).
Autosave* installAutosave(TMyWindow& w, QSettings* settings);

}  // namespace tovala
