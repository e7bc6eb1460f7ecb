#pragma once
// The two vocabulary tables of the script language, defined once: the keyword table (operators,
// punctuation, statement words, built-in functions, macros) and the model variable names. The
// lexer matches source text against them, validation checks instruction records against the
// keyword table, and the line program dialog lists both.

#include <array>
#include <cstdint>
#include <string_view>

#include "script/bytecode.h"

namespace tovala::script {

struct KeywordEntry {
  std::string_view text;
  std::string_view tokenClass;
  uint8_t flag;
  uint32_t code;
};

struct VariableEntry {
  std::string_view name;  // "" in the empty slots: never matched
  uint8_t flag;
  uint32_t fieldCode;
};

inline constexpr int kKeywordCount = 98;
inline constexpr int kVariableCount = 72;
inline constexpr int kVariableSlots = 77;
inline constexpr int kNumberTemplate = 1;  // keyword entry every number literal copies

// clang-format off
inline constexpr std::array<KeywordEntry, kKeywordCount> kKeywords{{
    {"param", "def", 0x00, 0},
    {"$$$", "nam", 0x02, 0},
    {"$$$", "nam", 0x00, 0},
    {"$$$", "param", 0x00, 0},
    {"+", "operate", 0x20, 0x2000001}, {"-", "operate", 0x20, 0x2000002},
    {"*", "operate", 0x20, 0x2000003}, {"/", "operate", 0x20, 0x2000004},
    {"%", "operate", 0x20, 0x2000005}, {"&", "operate", 0x20, 0x2000005},
    {"|", "operate", 0x20, 0x2000005},
    {"=", "input", 0x20, 0x2000000}, {"+=", "input", 0x20, 0x2000001},
    {"-=", "input", 0x20, 0x2000002}, {"*=", "input", 0x20, 0x2000003},
    {"/=", "input", 0x20, 0x2000004}, {"%=", "input", 0x20, 0x2000005},
    {"==", "compare", 0x20, 0x2000100}, {"<", "compare", 0x20, 0x2000101},
    {"<=", "compare", 0x20, 0x2000102}, {">", "compare", 0x20, 0x2000103},
    {">=", "compare", 0x20, 0x2000104}, {"!=", "compare", 0x20, 0x2000105},
    {"&&", "condition", 0x20, 0x2000200}, {"||", "condition", 0x20, 0x2000201},
    {"!", "not", 0x20, 0x2000300},
    {"if", "loop", 0x20, 0x10000}, {"else", "loop", 0x20, 0x10000},
    {"for", "loop", 0x20, 0x10000}, {"while", "loop", 0x20, 0x10000},
    {"do", "loop", 0x00, 0},
    {"continue", "jump", 0x20, 0x10001}, {"break", "jump", 0x20, 0x10001},
    {"return", "jump", 0x20, 0x10001},
    {"(", "(", 0x20, 0x2010000}, {")", ")", 0x20, 0x2010001},
    {"{", "{", 0x00, 0}, {"}", "}", 0x00, 0},
    {"$calc$", "calc", 0x20, 0x10010},
    {";", ";", 0x00, 0}, {",", ",", 0x00, 0},
    {"$$$", "end", 0xFF, 0},
    // built-in functions
    {"pow", "basef", 0x20, 0x2010003}, {"factorial", "basef", 0x20, 0x2010002},
    {"sin", "basef", 0x20, 0x2010004}, {"cos", "basef", 0x20, 0x2010005},
    {"tan", "basef", 0x20, 0x2010006}, {"sinh", "basef", 0x20, 0x2010007},
    {"cosh", "basef", 0x20, 0x2010008}, {"tanh", "basef", 0x20, 0x2010009},
    {"asin", "basef", 0x20, 0x201000A}, {"acos", "basef", 0x20, 0x201000B},
    {"atan", "basef", 0x20, 0x201000C}, {"sqrt", "basef", 0x20, 0x201000D},
    {"ln", "basef", 0x20, 0x201000E}, {"exp", "basef", 0x20, 0x201000F},
    {"step", "basef", 0x20, 0x2010010}, {"abs", "basef", 0x20, 0x2010011},
    {"rand", "basef", 0x20, 0x2010012}, {"delta", "basef", 0x20, 0x2010013},
    {"mod", "basef", 0x20, 0x2010014}, {"log", "basef", 0x20, 0x2010015},
    {"hypot", "basef", 0x20, 0x2010016}, {"max", "basef", 0x20, 0x2010017},
    {"min", "basef", 0x20, 0x2010018},
    // macros
    {"AllInit", "func", 0x20, 0x2020001}, {"MacroRot", "func", 0x20, 0x2020003},
    {"MacroMove", "func", 0x20, 0x2020004}, {"MacroRotSel", "func", 0x20, 0x2020005},
    {"MacroMoveSel", "func", 0x20, 0x2020006}, {"TPMove", "func", 0x20, 0x2020010},
    {"TPRot", "func", 0x20, 0x2020011}, {"MakeAtari", "func", 0x20, 0x2020012},
    {"MakeCLine", "func", 0x20, 0x2020013}, {"Distance", "func", 0x20, 0x2020015},
    {"Distance2D", "func", 0x20, 0x2020016}, {"TriangleAreaXY", "func", 0x20, 0x2020017},
    {"TriangleAreaXZ", "func", 0x20, 0x2020018}, {"TriangleAreaYZ", "func", 0x20, 0x2020019},
    {"TPMoveAll", "func", 0x20, 0x202001A}, {"TPRotAll", "func", 0x20, 0x202001B},
    {"TPMoveSel", "func", 0x20, 0x202001C}, {"TPRotSel", "func", 0x20, 0x202001D},
    {"MakeAtariAll", "func", 0x20, 0x202001E}, {"MakeCLineAll", "func", 0x20, 0x202001F},
    {"ConnectDirect4", "func", 0x20, 0x2020020}, {"ConnectDirect8", "func", 0x20, 0x2020021},
    {"ConnectDirect8L", "func", 0x20, 0x2020022}, {"ConnectDirectF", "func", 0x20, 0x2020023},
    {"FaceMoveAll", "func", 0x20, 0x2020024}, {"MakeOLine", "func", 0x20, 0x2020025},
    {"MakeOLineAll", "func", 0x20, 0x2020026}, {"ConnectOLine", "func", 0x20, 0x2020027},
    {"ConnectOLineAll", "func", 0x20, 0x2020028}, {"ConnectDirect4D", "func", 0x20, 0x2020029},
    {"ConnectDirect8D", "func", 0x20, 0x202002A}, {"ConnectDirect8LD", "func", 0x20, 0x202002B},
    {"ConnectDirectFD", "func", 0x20, 0x202002C},
}};

inline constexpr std::array<VariableEntry, kVariableSlots> kVariables{{
    {"L[]P[]kind", 0x1A, 0x01}, {"L[]P[]nam", 0x1A, 0x02}, {"L[]P[]mode", 0x1A, 0x03},
    {"L[]P[]vx", 0x1A, 0x10}, {"L[]P[]vy", 0x1A, 0x11}, {"L[]P[]vz", 0x1A, 0x12},
    {"L[]P[]v0x", 0x1A, 0x20}, {"L[]P[]v0y", 0x1A, 0x21}, {"L[]P[]v0z", 0x1A, 0x22},
    {"L[]P[]radx", 0x1A, 0x30}, {"L[]P[]rady", 0x1A, 0x31}, {"L[]P[]radz", 0x1A, 0x32},
    {"L[]P[]vdx", 0x1A, 0x40}, {"L[]P[]vdy", 0x1A, 0x41}, {"L[]P[]vdz", 0x1A, 0x42},
    {"L[]P[]pww", 0x1A, 0xA0}, {"L[]P[]pwh", 0x1A, 0xA1}, {"L[]P[]pwa", 0x1A, 0xA2},
    {"L[]P[]pwk", 0x1A, 0xA3}, {"L[]P[]spmin", 0x1A, 0xB0}, {"L[]P[]spmax", 0x1A, 0xB1},
    {"L[]P[]spdspx", 0x1A, 0xB2}, {"L[]P[]spdspy", 0x1A, 0xB3},
    {"L[]P[]param[]", 0x1B, 0x00},
    {"L[]kind", 0x1C, 0x01}, {"L[]nam", 0x1C, 0x02}, {"L[]mode", 0x1C, 0x03},
    {"L[]lmode", 0x1C, 0x04}, {"L[]imgmode", 0x1C, 0x05}, {"L[]sel", 0x1C, 0x06},
    {"L[]w", 0x1C, 0x0A}, {"L[]h", 0x1C, 0x0B}, {"L[]depth", 0x1C, 0x0C},
    {"L[]vx", 0x1C, 0x10}, {"L[]vy", 0x1C, 0x11}, {"L[]vz", 0x1C, 0x12},
    {"L[]v0x", 0x1C, 0x20}, {"L[]v0y", 0x1C, 0x21}, {"L[]v0z", 0x1C, 0x22},
    {"L[]radx", 0x1C, 0x30}, {"L[]rady", 0x1C, 0x31}, {"L[]radz", 0x1C, 0x32},
    {"L[]vdx", 0x1C, 0x40}, {"L[]vdy", 0x1C, 0x41}, {"L[]vdz", 0x1C, 0x42},
    {"L[]rectx", 0x1C, 0x50}, {"L[]recty", 0x1C, 0x51}, {"L[]rectw", 0x1C, 0x52},
    {"L[]recth", 0x1C, 0x53},
    {"L[]cr", 0x1C, 0x60}, {"L[]crR", 0x1C, 0x61}, {"L[]crG", 0x1C, 0x62}, {"L[]crB", 0x1C, 0x63},
    {"L[]cb", 0x1C, 0x70}, {"L[]cbR", 0x1C, 0x71}, {"L[]cbG", 0x1C, 0x72}, {"L[]cbB", 0x1C, 0x73},
    {"L[]brw", 0x1C, 0xA0}, {"L[]brh", 0x1C, 0xA1}, {"L[]bra", 0x1C, 0xA2}, {"L[]brk", 0x1C, 0xA3},
    {"L[]spmin", 0x1C, 0xB0}, {"L[]spmax", 0x1C, 0xB1},
    {"L[]spdspx", 0x1C, 0xB2}, {"L[]spdspy", 0x1C, 0xB3},
    {"L[]param[]", 0x1D, 0x00},
    {"VextX", 0x1E, 0x00}, {"VextY", 0x1E, 0x01}, {"VextZ", 0x1E, 0x02},
    {"RadX", 0x1E, 0x10}, {"RadY", 0x1E, 0x11}, {"RadZ", 0x1E, 0x12},
    {"", 0, 0}, {"", 0, 0}, {"", 0, 0}, {"", 0, 0}, {"", 0, 0},
}};
// clang-format on

// The first keyword whose text equals `text` exactly and has at least two characters, or -1.
int findLongKeyword(std::string_view text);
// The keyword entry whose text is the single character `c`, or -1.
int findSingleCharKeyword(char c);
// True when `c` is one of the 17 single-character keywords (they end a token).
bool isSingleCharKeyword(char c);
// The variable entry named exactly `name`, or -1 (the empty slots never match).
int findVariable(std::string_view name);
// True when (flag, code) is an entry of the keyword table with flag 0x20.
bool isKnownInstruction(uint32_t code);
// The keyword entry with this flag and code, or -1 (the dialog's and dump's names).
int findKeywordByCode(uint8_t flag, uint32_t code);

}  // namespace tovala::script
