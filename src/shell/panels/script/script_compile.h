#pragma once
// The script panel's and the program dialog's calls into the script engine, kept in a file of
// their own that includes no Qt header (the engine has a member named like Qt's emit macro).

#include <string>
#include <string_view>

namespace tovala {

class Document;

// Checks the program of `line`; a failure's message is shown with the caption "エラー".
// Returns the check's result (1 or -1).
int checkLineProgram(Document& doc, int line);

// Lexes and compiles `source` (Shift-JIS) into the selected line, writing the listing to
// `dumpPath`, then checks the line's program. Compile errors are shown by the engine; the
// statements before the first error are stored all the same.
void compileIntoSelectedLine(Document& doc, std::string_view source, const std::string& dumpPath);

}  // namespace tovala
