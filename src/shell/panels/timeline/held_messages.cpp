#include "shell/panels/timeline/held_messages.h"

#include <algorithm>

namespace tovala {

namespace {
// A program that fails on every line would otherwise keep one entry per line and frame.
constexpr size_t kMostHeld = 8;
}  // namespace

void HeldMessages::message(std::string_view text, std::string_view caption) {
  const bool seen = std::any_of(held_.begin(), held_.end(), [&](const Held& h) {
    return h.text == text && h.caption == caption;
  });
  if (!seen && held_.size() < kMostHeld) held_.push_back({std::string(caption), std::string(text)});
}

Answer HeldMessages::ask(std::string_view text, std::string_view caption, Buttons buttons) {
  message(text, caption);
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
  }
}

void HeldMessages::showOn(Ui& ui) {
  std::vector<Held> held = std::move(held_);
  held_.clear();
  for (const Held& h : held) ui.message(h.text, h.caption);
}

}  // namespace tovala
