#include "shell/autosave.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenuBar>
#include <QSettings>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/file_io.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "shell/document_session.h"
#include "shell/main_window.h"
#include "shell/panels/timeline/timeline.h"
#include "shell/recent_files.h"

namespace tovala {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCaption = "自動保存";
constexpr const char* kFailed = "自動保存できませんでした。";
constexpr const char* kIntervalLabel = "自動保存の間隔（分）\n0 にすると自動保存しません。";
constexpr const char* kMenuLabel = "自動保存の間隔…";
constexpr const char* kFileMenuTitle = "ファイル";
constexpr const char* kSettingsKey = "autosave/minutes";
constexpr const char* kIntervalVariable = "TOVALA_AUTOSAVE_MS";
// A copy that could not be written now (a drag, a dialog open) is tried again this soon.
constexpr int kRetryMs = 5000;

std::string readNote(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

Autosave::Autosave(TMyWindow& w, fs::path folder)
    : QObject(&w), w_(w), files_{std::move(folder)},
      lock_(QString::fromStdString(files_.lock().string())) {
  setObjectName("autosave");
  std::error_code ec;
  fs::create_directories(files_.folder, ec);
  // A lock left by an editor that was killed names a process that is gone: taken over.
  lock_.setStaleLockTime(0);
  owner_ = lock_.tryLock(0);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &Autosave::tick);
  // Saved, replaced by a new or opened document, or discarded: the copy has nothing to keep.
  connect(&w.session(), &DocumentSession::modifiedChanged, this, [this](bool modified) {
    if (!modified && !recovering_) discardCopy();
  });
}

Autosave::~Autosave() {
  // The window's session is gone by now; only the files are touched.
  discardCopy();
}

void Autosave::setInterval(int ms) {
  intervalMs_ = std::max(0, ms);
  timer_.stop();
  if (owner_ && intervalMs_ > 0) timer_.start(intervalMs_);
}

void Autosave::tick() {
  const bool due = w_.session().modified();
  if (due && !quietNow()) {
    timer_.start(std::min(intervalMs_, kRetryMs));
    return;
  }
  if (due) saveNow();
  if (intervalMs_ > 0) timer_.start(intervalMs_);
}

bool Autosave::quietNow() const {
  // Motion mode holds posed points, which saving refuses too: the copy waits for the figure's own.
  if (w_.motion() || w_.sideView() || w_.mouse().leftDown) return false;
  if (const Timeline* t = timelineOf(w_); t && t->previewing()) return false;
  return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

bool Autosave::saveNow() {
  DocumentSession& session = w_.session();
  if (!owner_ || !session.modified() || !quietNow()) return false;
  std::error_code ec;
  fs::create_directories(files_.folder, ec);
  // The writers' own messages would open a box in the middle of the user's work: the first
  // failure is told once, in words of its own.
  Document& d = session.doc();
  RecordingUi quiet;
  Ui* const own = d.ui;
  d.ui = &quiet;
  const std::string project = files_.project().string();
  std::string reason;
  bool ok = saveProject(d, project, true);
  if (!ok) reason = quiet.lastText();
  if (ok) ok = syncAnimationBeside(project, session.animation(), reason);
  if (ok) {
    const std::string& name = session.path();
    ok = writeFileAtomic(files_.note().string(),
                         {reinterpret_cast<const uint8_t*>(name.data()), name.size()});
  }
  d.ui = own;
  if (!ok) {
    if (!failureShown_) {
      failureShown_ = true;
      w_.ui().message(reason.empty() ? std::string(kFailed) : std::string(kFailed) + "\n" + reason,
                      kCaption);
    }
    return false;
  }
  failureShown_ = false;
  return true;
}

bool Autosave::hasCopy() const {
  std::error_code ec;
  return owner_ && fs::is_regular_file(files_.project(), ec);
}

QDateTime Autosave::copyTime() const {
  return QFileInfo(QString::fromStdString(files_.project().string())).lastModified();
}

void Autosave::discardCopy() {
  if (!owner_) return;
  std::error_code ec;
  fs::remove(files_.project(), ec);
  std::string reason;
  syncAnimationBeside(files_.project().string(), Animation{}, reason);
  fs::remove(files_.note(), ec);
}

bool Autosave::offerRecovery() {
  if (!hasCopy()) return false;
  const std::string when = copyTime().toString("yyyy/MM/dd HH:mm:ss").toStdString();
  const std::string question = std::string(kRecoveryQuestion) + "\n(" + when + " の自動保存)";
  if (w_.ui().ask(question, kCaption, Buttons::YesNo) != Answer::Yes) {
    discardCopy();
    return false;
  }
  const std::string original = readNote(files_.note());
  const QString copy = QString::fromStdString(files_.project().string());
  // Opening leaves the document unmodified, which would remove the copy: it stays until the
  // recovered document is saved or the editor exits.
  recovering_ = true;
  const bool opened = w_.openProject(files_.project().string());
  recovering_ = false;
  if (!opened) return false;
  if (RecentFiles* recent = recentFilesOf(w_)) recent->remove(QFileInfo(copy).absoluteFilePath());
  w_.session().setPath(original);
  w_.paths().project = original.empty() ? std::string("noname.tov") : original;
  w_.session().setModified(true);
  return true;
}

Autosave* installAutosave(TMyWindow& w, QSettings* settings) {
  auto* autosave = new Autosave(w, fs::path(w.paths().startFolder) / "temp");
  int minutes = kDefaultAutosaveMinutes;
  if (settings) minutes = std::clamp(settings->value(kSettingsKey, minutes).toInt(), 0,
                                     kMostAutosaveMinutes);
  int ms = minutes * 60000;
  if (const char* v = std::getenv(kIntervalVariable); v && *v) ms = std::max(0, std::atoi(v));
  autosave->setInterval(ms);

  QMenu* fileMenu = nullptr;
  for (QAction* a : w.menuBar()->actions())
    if (a->menu() && a->text() == QString::fromUtf8(kFileMenuTitle)) fileMenu = a->menu();
  if (!fileMenu) return autosave;
  QAction* item = fileMenu->addAction(QString::fromUtf8(kMenuLabel));
  item->setObjectName("autosaveInterval");
  QObject::connect(item, &QAction::triggered, autosave, [&w, autosave, settings] {
    bool ok = false;
    const int now = (autosave->interval() + 59999) / 60000;
    const int chosen = QInputDialog::getInt(&w, QString::fromUtf8(kCaption),
                                            QString::fromUtf8(kIntervalLabel), now, 0,
                                            kMostAutosaveMinutes, 1, &ok);
    if (!ok) return;
    if (settings) settings->setValue(kSettingsKey, chosen);
    autosave->setInterval(chosen * 60000);
  });
  return autosave;
}

}  // namespace tovala
