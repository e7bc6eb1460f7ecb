// The compiler's code list: emitting records and jump pairs, the block and fix-up stacks that
// patch forward jumps, storing the finished program into the current line, and the listing
// written to "PreCom.txt".

#include <cstdio>
#include <string>

#include "model/document.h"
#include "model/file_io.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::script {
namespace {

std::string nestingLimitText() {
  std::string text = msg::kNestingLimit;
  text.replace(text.find("%d"), 2, std::to_string(kStackLimit));
  return text;
}

}  // namespace

int ScriptEngine::emit(const Token& t) {
  codeList_.push_back(t);
  return int(codeList_.size()) - 1;
}

int ScriptEngine::emitRecord(uint8_t flag, uint32_t code, std::string_view cls,
                             std::string_view text) {
  return emit(Token{flag, code, cls, std::string(text)});
}

// A jump is two records: the jump instruction, then the record holding where to continue.
// Returns the index of that target record.
int ScriptEngine::emitJumpPair(std::string_view jumpText, std::string_view targetText,
                               uint32_t target) {
  emitRecord(kFlagInstruction, kCodeJump, "jump", jumpText);
  return emitRecord(kFlagTarget, target, "jump", targetText);
}

void ScriptEngine::patch(int index, uint32_t target) {
  if (index >= 0 && size_t(index) < codeList_.size()) codeList_[size_t(index)].code = target;
}

int ScriptEngine::pushBlock(int kind, int head, int exit, const Token& at) {
  if (blockCount_ + 1 >= kStackLimit) {
    return fail(at, nestingLimitText());
  }
  blocks_[size_t(blockCount_++)] = Block{kind, head, exit};
  return 1;
}

int ScriptEngine::pushFixup(int type, int head, int target, const Token& at) {
  if (fixupCount_ + 1 >= kStackLimit) {
    return fail(at, nestingLimitText());
  }
  fixups_[size_t(fixupCount_++)] = Fixup{type, head, target};
  return 1;
}

// Patches and removes every pending fix-up of one kind that belongs to the loop at `head`.
void ScriptEngine::patchFixups(int type, int head, uint32_t target) {
  int kept = 0;
  for (int i = 0; i < fixupCount_; ++i) {
    const Fixup f = fixups_[size_t(i)];
    if (f.fixType == type && f.loopHead == head) {
      patch(f.targetIndex, target);
    } else {
      fixups_[size_t(kept++)] = f;
    }
  }
  for (int i = kept; i < fixupCount_; ++i) fixups_[size_t(i)] = Fixup{};
  fixupCount_ = kept;
}

// Jumps still aimed past the program (return, break outside a loop) go to the end marker.
void ScriptEngine::clampTargets() {
  const uint32_t count = uint32_t(codeList_.size());
  for (size_t i = 0; i + 1 < codeList_.size(); ++i) {
    const Token& t = codeList_[i];
    if (t.flag == kFlagInstruction && t.code == kCodeJump && codeList_[i + 1].code >= count) {
      codeList_[i + 1].code = count - 1;
    }
  }
}

CodeList ScriptEngine::program() const {
  CodeList out;
  out.reserve(codeList_.size());
  for (const Token& t : codeList_) out.push_back(t.entry());
  return out;
}

void ScriptEngine::storeProgram() {
  if (!storeIntoLine_ || !doc_->isValidLine(doc_->curLine)) return;
  clampTargets();
  LineRecord& line = doc_->lines[size_t(doc_->curLine)];
  line.code = program();
  line.codeChanged = 1;
}

bool ScriptEngine::dumpProgram(const std::string& path) {
  std::string out;
  auto row = [&out](size_t index, const Token& t) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%04zx %10.*s %10.*s %02x %08x\n", index, int(t.text.size()),
                  t.text.data(), int(t.tokenClass.size()), t.tokenClass.data(), unsigned(t.flag),
                  unsigned(t.code));
    out += buf;
  };
  for (size_t i = 0; i < tokens_.size(); ++i) row(i, tokens_[i]);
  out += "\n\n\n\n";
  for (size_t i = 0; i < codeList_.size(); ++i) row(i, codeList_[i]);
  const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
  if (!writeFileAtomic(path, std::span<const uint8_t>(bytes, out.size()))) {
    doc_->ui->message(msg::kMissSave, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

}  // namespace tovala::script
