#include "shell/panels/script/script_compile.h"

#include "model/document.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala {

int checkLineProgram(Document& doc, int line) {
  ScriptEngine engine(doc);
  const int result = engine.validate(line, -1);
  if (result < 0) doc.ui->message(engine.message(), script::msg::kCaptionError);
  return result;
}

void compileIntoSelectedLine(Document& doc, std::string_view source, const std::string& dumpPath) {
  ScriptEngine engine(doc);
  engine.setDumpPath(dumpPath);
  engine.lex(source);
  checkLineProgram(doc, doc.curLine);
}

}  // namespace tovala
