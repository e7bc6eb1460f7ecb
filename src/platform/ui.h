#pragma once
// The few user-interface services the core needs: message boxes, questions and file choosers.
// Texts are UTF-8; each front end shows them its own way (Qt dialogs, stderr lines, a log).

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovala {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// An open or save dialog. `filter` is the dialog's filter string as the system writes it
// ("BMPファイル|*.bmp|すべてのファイル|*.*||").
struct FileRequest {
  bool save = false;
  std::string title;
  std::string filter;
  std::string defaultExtension;
  std::string initialName;
};

class Ui {
 public:
  virtual ~Ui() = default;
  virtual void message(std::string_view text, std::string_view caption) = 0;
  virtual Answer ask(std::string_view text, std::string_view caption, Buttons buttons) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseFile(const FileRequest& request) = 0;
};

// For the command-line tool: messages become `caption: text` lines on a stream; questions get a
// fixed answer; file choosers take paths queued by the caller.
class HeadlessUi : public Ui {
 public:
  explicit HeadlessUi(std::FILE* out = stderr, bool answerYes = false);
  void message(std::string_view text, std::string_view caption) override;
  Answer ask(std::string_view text, std::string_view caption, Buttons buttons) override;
  std::optional<std::string> chooseFile(const FileRequest& request) override;

  void queuePath(std::string path) { paths_.push_back(std::move(path)); }

 private:
  std::FILE* out_;
  bool answerYes_;
  std::deque<std::string> paths_;
};

// For tests: remembers everything shown and answers from scripted queues.
class RecordingUi : public Ui {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    bool question = false;
  };

  void message(std::string_view text, std::string_view caption) override;
  Answer ask(std::string_view text, std::string_view caption, Buttons buttons) override;
  std::optional<std::string> chooseFile(const FileRequest& request) override;

  void queueAnswer(Answer a) { answers_.push_back(a); }
  void queuePath(std::optional<std::string> path) { paths_.push_back(std::move(path)); }

  std::vector<Shown> shown;
  std::vector<FileRequest> fileRequests;
  Answer defaultAnswer = Answer::No;

  // The text of the last message or question, or "" when nothing was shown.
  std::string lastText() const { return shown.empty() ? std::string() : shown.back().text; }
  void reset() { shown.clear(); fileRequests.clear(); }

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> paths_;
};

// A Ui that shows nothing and answers No; the default for code run without a front end.
Ui& silentUi();

}  // namespace tovala
