#pragma once
// The texts the script language shows. Lexer and compiler messages are written into the engine's
// message buffer as "<token text>:<text>"; the run-time texts are shown as they stand.

namespace tovala::script::msg {

// --- lexer ---------------------------------------------------------------------------------
inline constexpr const char* kTooManyBrackets = "[]の数が多すぎます。";
inline constexpr const char* kNestedLocal = "変数p[]の重複が多すぎます。";
inline constexpr const char* kBadLocal = "変数p[]に誤りがあります。";
inline constexpr const char* kIndexTooLarge = "変数の配列番号が大きすぎます(524287以下)。";
inline constexpr const char* kPointIndexTooLarge = "変数の配列番号が大きすぎます(127以下)。";

// --- compiler ------------------------------------------------------------------------------
inline constexpr const char* kNotEnoughTokens = "有効な文字が足りません。";
inline constexpr const char* kNumberRequired = "ここは数字です。";
inline constexpr const char* kSemicolonRequired = "ここは;です。";
inline constexpr const char* kAssignmentRequired = "ここは代入です。";
inline constexpr const char* kCompoundSingleTerm = "2文字代入は1項のみの計算です。";
inline constexpr const char* kVariableNeedsAssignment = "初めが変数の場合、次は必ず代入です。";
inline constexpr const char* kValueAfterAssignment = "代入の次は数か変数です。";
inline constexpr const char* kSingleCallAfterAssignment = "代入の次は基本関数が1つだけです。";
inline constexpr const char* kValueBeforeOperator = "/代入の次は数か変数です。";
inline constexpr const char* kValueAfterOperator = "演算の次は数か変数です。";
inline constexpr const char* kBraceAfterDo = "doの後は必ず{です。";
inline constexpr const char* kNoChaining = "関数は重複できません。";
inline constexpr const char* kUnusable = "使用できない文字列があります。";
inline constexpr const char* kNestingLimit = "条件式の重複が限界%dを超えています。";
inline constexpr const char* kBraceAfterElse = "elseの次は必ず{です。";
inline constexpr const char* kElseWithoutIf = "elseに対応するif文が見つかりません。";
inline constexpr const char* kConditionOpen = "条件式の初めは必ず(です。";
inline constexpr const char* kCompareAfterValue = "数か変数の次は必ず比較演算です。";
inline constexpr const char* kValueAfterCompare = "比較演算の次は必ず数か変数です。";
inline constexpr const char* kBeforeNot = "否定の前は必ず数か変数か否定か括弧です。";
inline constexpr const char* kBeforeOpen = "(の前は必ず数か変数ではありません。";
inline constexpr const char* kBeforeClose = ")の前は必ず数か変数か否定か括弧です。";
inline constexpr const char* kBadConditionToken = "条件式内に不正な文字があります。";
inline constexpr const char* kBraceAfterCondition = "条件式が終わったら必ず{です。";
inline constexpr const char* kExpressionToken =
    "数、変数、演算、基本関数、() ,以外は使用不可です。";
inline constexpr const char* kOpenAfterFunction = "基本関数の後は常に'('です。";
inline constexpr const char* kCloseAfter = "演算か基本関数か(の後に)は来ません。";
inline constexpr const char* kNumberAfter = "数、変数、基本関数、)の後に数は来ません。";
inline constexpr const char* kVariableAfter = "数、変数、基本関数、)の後に変数は来ません。";
inline constexpr const char* kOperatorAfter = "演算,基本関数は続きません。";
inline constexpr const char* kFunctionAfter = "数、変数、基本関数、)の後に基本関数は来ません。";
inline constexpr const char* kCommaAfter = "演算、基本関数、(の後に,は来ません。";
inline constexpr const char* kParenthesesOpen = "括弧が閉じていません。";
inline constexpr const char* kFunctionNeedsOpen = "基本関数の次は必ず(です。";
inline constexpr const char* kNoSuchFunction = "この関数はありません。";
inline constexpr const char* kBadFunctionArgs = "この関数の変数は不正です。";
inline constexpr const char* kMissingOpen = "(がありません。";
inline constexpr const char* kArgumentValue = "関数の中は必ず数か変数です。";
inline constexpr const char* kCommaRequired = "数、変数の次は,です。";
inline constexpr const char* kMissingClose = "関数の終わりに)がありません。";
inline constexpr const char* kBlocksOpen = "{}が閉じていない";
inline constexpr const char* kJumpsPending = "jump命令が正確でない";
inline constexpr const char* kMissSave = "Miss Save!!";

// --- validation ----------------------------------------------------------------------------
inline constexpr const char* kNoLine = "線が存在しません。";
inline constexpr const char* kNoMarker = "初めの命令に0xFFがありません。";
inline constexpr const char* kBadLocalIndex = "局所変数p[%d]が正しくありません。";
inline constexpr const char* kLineMissing = "線L[%d]は存在しません。";
inline constexpr const char* kPointMissing = "点L[%d]P[%d]は存在しません。";
inline constexpr const char* kBadPointField = "線L[%d]P[%d]の固定変数に誤りがあります。";
inline constexpr const char* kPointParamMissing = "点L[%d]P[%d]param[%d]は存在しません。";
inline constexpr const char* kBadLineField = "線L[%d]の固定変数に誤りがあります。";
inline constexpr const char* kLineParamMissing = "点L[%d]param[%d]は存在しません。";
inline constexpr const char* kBadFixedVariable = "マクロ変数に誤りがあります。";
inline constexpr const char* kBadInstruction = "関数の表記が正しくありません。";
inline constexpr const char* kBadFlag = "%x:不正なフラグがあります。";

// --- run time ------------------------------------------------------------------------------
inline constexpr const char* kAnalyze = "Analyze";
inline constexpr const char* kGetValue = "GetValue";
inline constexpr const char* kSetValue = "SetValue";
inline constexpr const char* kBudgetExceeded = "スクリプトの実行回数が上限を超えました。";

// --- script files ----------------------------------------------------------------------------
inline constexpr const char* kWriteFailed = "ファイルの書込みに失敗しました。";
inline constexpr const char* kReadFailed = "ファイルの読込みに失敗しました。";
inline constexpr const char* kNotValidFile = "有効なファイルではありません。";

// --- captions --------------------------------------------------------------------------------
inline constexpr const char* kCaptionError = "エラー";
inline constexpr const char* kCaptionMessage = "メッセージ";
inline constexpr const char* kCaptionErrorLower = "error";

}  // namespace tovala::script::msg
