#include "platform/ui.h"

namespace tovala {

HeadlessUi::HeadlessUi(std::FILE* out, bool answerYes) : out_(out), answerYes_(answerYes) {}

void HeadlessUi::message(std::string_view text, std::string_view caption) {
  std::fprintf(out_, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
               text.data());
  std::fflush(out_);
}

Answer HeadlessUi::ask(std::string_view text, std::string_view caption, Buttons buttons) {
  message(text, caption);
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (buttons == Buttons::OkCancel) return answerYes_ ? Answer::Ok : Answer::Cancel;
  return answerYes_ ? Answer::Yes : Answer::No;
}

std::optional<std::string> HeadlessUi::chooseFile(const FileRequest&) {
  if (paths_.empty()) return std::nullopt;
  std::string p = std::move(paths_.front());
  paths_.pop_front();
  return p;
}

void RecordingUi::message(std::string_view text, std::string_view caption) {
  shown.push_back({std::string(caption), std::string(text), false});
}

Answer RecordingUi::ask(std::string_view text, std::string_view caption, Buttons buttons) {
  shown.push_back({std::string(caption), std::string(text), true});
  if (!answers_.empty()) {
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  if (buttons == Buttons::Ok) return Answer::Ok;
  return defaultAnswer;
}

std::optional<std::string> RecordingUi::chooseFile(const FileRequest& request) {
  fileRequests.push_back(request);
  if (paths_.empty()) return std::nullopt;
  auto p = std::move(paths_.front());
  paths_.pop_front();
  return p;
}

namespace {
class SilentUi : public Ui {
 public:
  void message(std::string_view, std::string_view) override {}
  Answer ask(std::string_view, std::string_view, Buttons b) override {
    return b == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  std::optional<std::string> chooseFile(const FileRequest&) override { return std::nullopt; }
};
}  // namespace

Ui& silentUi() {
  static SilentUi ui;
  return ui;
}

}  // namespace tovala
