#pragma once
// A Ui that shows nothing while a preview frame is drawn: it keeps each distinct message, to be
// shown once after the frame, when no frame is half done and playback has stopped. A message box
// opened in the middle of a frame would run the window's events inside it (playback ticks,
// clicks that put the document back) while the frame's programs wait to finish.

#include <string>
#include <vector>

#include "platform/ui.h"

namespace tovala {

class HeldMessages : public Ui {
 public:
  void message(std::string_view text, std::string_view caption) override;
  // A question cannot wait for its answer: it is kept as a message and declined.
  Answer ask(std::string_view text, std::string_view caption, Buttons buttons) override;
  std::optional<std::string> chooseFile(const FileRequest&) override { return std::nullopt; }

  bool empty() const { return held_.empty(); }
  // Shows every kept message on `ui`, in the order first raised, and forgets them.
  void showOn(Ui& ui);

 private:
  struct Held {
    std::string caption, text;
  };
  std::vector<Held> held_;
};

}  // namespace tovala
