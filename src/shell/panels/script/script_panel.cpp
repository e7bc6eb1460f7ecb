#include "shell/panels/script/script_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/document.h"
#include "platform/encoding.h"
#include "platform/ui.h"
#include "script/script_files.h"
#include "shell/main_window.h"
#include "shell/panels/script/script_compile.h"

namespace tovala {

namespace {

constexpr const char* kNoValidLine = "有効な線が選択されていません。";
constexpr const char* kDumpName = "PreCom.txt";

}  // namespace

std::string scriptTextForEditor(std::string_view fileText) {
  std::string bytes;
  bytes.reserve(fileText.size());
  for (char c : fileText)
    if (c != '\r') bytes += c;
  return sjisToUtf8(bytes);
}

std::string scriptTextForFile(std::string_view editorText) {
  const std::vector<uint8_t> sjis = utf8ToSjis(editorText);
  return std::string(sjis.begin(), sjis.end());
}

ScriptPanel::ScriptPanel(Document& doc, QWidget* parent)
    : Panel(PanelId::Script, PanelMessage::None, parent), doc_(doc), archive_(kDefaultArchiveName) {
  setObjectName("118");
  setWindowTitle(QString::fromUtf8("スクリプト"));
  owner_ = new QLabel;
  owner_->setObjectName("owner");
  editor_ = new QPlainTextEdit;
  editor_->setObjectName("text");
  editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont mono = editor_->font();
  mono.setStyleHint(QFont::TypeWriter);
  mono.setFamily("monospace");
  editor_->setFont(mono);

  auto* buttons = new QHBoxLayout;
  struct ButtonDef {
    const char* text;
    const char* name;
  };
  for (const ButtonDef& s :
       {ButtonDef{"OK", "ok"}, ButtonDef{"キャンセル", "cancel"}, ButtonDef{"実行", "run"},
        ButtonDef{"読込", "load"}, ButtonDef{"保存", "save"}}) {
    auto* b = new QPushButton(QString::fromUtf8(s.text));
    b->setObjectName(QString::fromLatin1(s.name));
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  auto* top = new QVBoxLayout(this);
  top->addWidget(owner_);
  top->addWidget(editor_);
  top->addLayout(buttons);
  resize(480, 400);

  // OK keeps the panel open when the text could not be written, so nothing typed is lost.
  connect(button("ok"), &QPushButton::clicked, this, [this] {
    if (!doc_.isValidLine(doc_.curLine) || saveText()) accept();
  });
  connect(button("cancel"), &QPushButton::clicked, this, &QDialog::reject);
  connect(button("run"), &QPushButton::clicked, this, &ScriptPanel::run);
  connect(button("load"), &QPushButton::clicked, this, &ScriptPanel::importArchive);
  connect(button("save"), &QPushButton::clicked, this, &ScriptPanel::exportArchive);
}

QPushButton* ScriptPanel::button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

void ScriptPanel::showFor(const std::filesystem::path& workDir) {
  workDir_ = workDir;
  loadText();
  show();
  raise();
}

bool ScriptPanel::showsSelection() const {
  if (doc_.curLine != shownLine_ || doc_.curPoint != shownPoint_) return false;
  if (!doc_.isValidLine(shownLine_)) return shownLineNumber_ == -1;
  const LineRecord& line = doc_.lines[size_t(shownLine_)];
  const int32_t point =
      doc_.isValidPick(shownLine_, shownPoint_) == 1 ? line.points[size_t(shownPoint_)].nam : -1;
  return line.nam == shownLineNumber_ && point == shownPointNumber_;
}

// The window asks for this after every change it draws; the text is read again only for another
// line or point, so typing survives clicks that keep the selection.
void ScriptPanel::refresh() {
  if (!isVisible() || showsSelection()) return;
  loadText();
}

void ScriptPanel::loadText() {
  const std::optional<std::string> text = loadScriptText(doc_, workDir_);
  if (!text) return;  // no line selected: the text stays
  editor_->setPlainText(QString::fromStdString(scriptTextForEditor(*text)));
  shownLine_ = doc_.curLine;
  shownPoint_ = doc_.curPoint;
  shownLineNumber_ = doc_.lines[size_t(shownLine_)].nam;
  shownPointNumber_ = doc_.isValidPick(shownLine_, shownPoint_) == 1
                          ? doc_.lines[size_t(shownLine_)].points[size_t(shownPoint_)].nam
                          : -1;
  QString owner = QString::fromUtf8("線 %1 (番号 %2)・点 %3")
                      .arg(shownLine_)
                      .arg(shownLineNumber_)
                      .arg(shownPoint_);
  if (shownPointNumber_ != -1) owner += QString::fromUtf8(" (番号 %1)").arg(shownPointNumber_);
  owner_->setText(owner);
}

std::string ScriptPanel::fileText() const {
  return scriptTextForFile(editor_->toPlainText().toStdString());
}

// The text shown belongs to the line it was read for: when the selection has moved on without the
// panel following, the selection's own text is shown instead of writing into its file.
bool ScriptPanel::saveText() {
  if (!showsSelection()) {
    loadText();
    return false;
  }
  return saveScriptText(doc_, workDir_, fileText());
}

// Compiles into the selected line; the program runs later, with the motion.
void ScriptPanel::run() {
  if (!showsSelection()) {
    loadText();
    return;
  }
  const std::string source = fileText();
  saveScriptText(doc_, workDir_, source);
  compileIntoSelectedLine(doc_, source, (workDir_ / kDumpName).string());
  if (doc_.isValidLine(doc_.curLine)) emit compiled();
}

// The archive dialog opens on the last archive name and keeps the one chosen.
bool ScriptPanel::chooseArchive(bool save) {
  FileRequest request;
  request.save = save;
  request.filter = kArchiveFilter;
  request.defaultExtension = kArchiveExtension;
  request.initialName = archive_;
  const std::optional<std::string> path = doc_.ui->chooseFile(request);
  if (!path) return false;
  archive_ = *path;
  return true;
}

void ScriptPanel::importArchive() {
  if (chooseArchive(false) && importScriptArchive(doc_, workDir_, archive_)) loadText();
}

void ScriptPanel::exportArchive() {
  if (chooseArchive(true)) exportScriptArchive(doc_, workDir_, archive_, fileText());
}

void installScriptPanel(TMyWindow& w) {
  auto* panel = new ScriptPanel(w.doc(), &w);
  // A compile writes line programs: an edit without a step of its own.
  QObject::connect(panel, &ScriptPanel::compiled, &w,
                   [&w] { w.session().changed(Redraw::None); });
  w.installPanel(panel, false);
}

void openScriptPanel(TMyWindow& w) {
  if (w.motion()) return;
  if (!w.lineSelected()) {
    w.ui().message(kNoValidLine, "注意");
    return;
  }
  if (auto* panel = static_cast<ScriptPanel*>(w.panel(PanelId::Script)))
    panel->showFor(w.paths().startFolder);
}

}  // namespace tovala
