// Repeated pose programs in one step: a cast of body models posed through runLinePrograms ends
// exactly where running every program in turn ends, whatever runs between the figures.

#include "script/pass_memo.h"

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/parts_file.h"
#include "script/body_model.h"
#include "script/line_programs.h"
#include "script/script_engine.h"

namespace tovala {
namespace {

// Every program in line order, each in a fresh run: the step without any memo.
void runEachProgram(Document& doc) {
  ScriptEngine engine(doc);
  for (int pos = 0; pos < doc.lineCount() - 1 && size_t(pos) < doc.lineOrder.size(); ++pos) {
    const int line = doc.lineOrder[size_t(pos)];
    if (!doc.isValidLine(line) || doc.lines[size_t(line)].code.size() < 3) continue;
    const CodeList code = doc.lines[size_t(line)].code;
    engine.run(code);
  }
}

// Three body models, each with its own joints turned away from rest.
Document makeCast() {
  Document doc;
  createBodyModel(doc);
  const std::vector<uint8_t> parts = writePartsPayload(doc);
  mergePartsPayload(doc, parts);
  mergePartsPayload(doc, parts);
  const int figure = (doc.lineCount() - 1) / 3;
  doc.lines[8].points[1].radz = 0.6f;
  doc.lines[size_t(figure + 14)].points[1].radz = -0.5f;
  doc.lines[size_t(2 * figure + 5)].points[0].radz = 2.5f;  // beyond its limit: clamped
  doc.VextX = 12.0f;
  doc.RadZ = 0.1f;
  return doc;
}

void compileInto(Document& doc, int line, const std::string& source) {
  doc.curLine = line;
  ScriptEngine e(doc);
  e.setDumpPath("");
  ASSERT_EQ(e.lex(source), 1);
}

void expectSameStep(Document& doc) {
  Document reference = doc;
  runEachProgram(reference);
  EXPECT_EQ(runLinePrograms(doc, 0, 0), 0);
  EXPECT_TRUE(doc.lines == reference.lines);
  // A second step from the posed state as well.
  runEachProgram(reference);
  runLinePrograms(doc, 0, 0);
  EXPECT_TRUE(doc.lines == reference.lines);
}

TEST(PassMemo, ACastPosesAsEveryProgramRunInTurn) {
  Document doc = makeCast();
  expectSameStep(doc);
}

// Programs between the figures that change what the pose program reads, or move a point it
// does not set, end the memo: the next figure's pose program runs again.
TEST(PassMemo, ProgramsThatChangeMoreThanPositionsEndIt) {
  const char* between[] = {
      "L[5]P[0]radz = 0.4;",     // a joint angle
      "VextY = VextY + 3;",      // the whole-model movement
  };
  for (const char* source : between) {
    SCOPED_TRACE(source);
    Document doc = makeCast();
    const int figure = (doc.lineCount() - 1) / 3;
    compileInto(doc, figure - 1, source);  // the first figure's controller runs it too
    expectSameStep(doc);
  }
}

TEST(PassMemo, OnlyResetLedWholeDocumentProgramsRepeat) {
  Document doc;
  auto compiled = [&](const std::string& source) {
    ScriptEngine e(doc);
    e.setStoreIntoLine(false);
    e.setDumpPath("");
    EXPECT_EQ(e.lex(source), 1);
    return e.program();
  };
  EXPECT_TRUE(isRepeatablePoseProgram(compiled(
      "AllInit();TPMoveAll();TPRotAll();MacroMove();MacroRot();MakeAtariAll();MakeCLineAll();")));
  EXPECT_TRUE(isRepeatablePoseProgram(compiled("AllInit();MakeCLineAll();MacroRot();")));
  EXPECT_FALSE(isRepeatablePoseProgram(compiled("TPRotAll();AllInit();")));
  EXPECT_FALSE(isRepeatablePoseProgram(compiled("AllInit();MakeCLineAll();TPRotAll();")));
  EXPECT_FALSE(isRepeatablePoseProgram(compiled("AllInit();MakeCLineAll();MakeAtariAll();")));
  EXPECT_FALSE(isRepeatablePoseProgram(compiled("AllInit();MakeOLineAll();")));
  EXPECT_FALSE(isRepeatablePoseProgram(compiled("param 1; AllInit(); p[0] = 1;")));
}

}  // namespace
}  // namespace tovala
