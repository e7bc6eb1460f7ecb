#include "model/json_bounds.h"

namespace tovala {

std::string jsonLimitFault(std::string_view text, const JsonLimits& limits) {
  if (text.size() > limits.maxBytes) return "ファイルが大きすぎます";
  const size_t n = text.size();
  int depth = 0;
  size_t values = 1;
  for (size_t i = 0; i < n;) {
    const char c = text[i++];
    switch (c) {
      case '"':
        // Skip the string; an escaped character (\" included) is passed over whole. A string
        // left open runs to the end of the text, which the parser then refuses.
        while (i < n && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
        ++i;
        break;
      case '[':
      case '{':
        if (++depth > limits.maxDepth)
          return "入れ子が深すぎます（" + std::to_string(limits.maxDepth) + " 段まで）";
        [[fallthrough]];
      case ',':
        if (++values > limits.maxValues)
          return "値が多すぎます（" + std::to_string(limits.maxValues) + " 個まで）";
        break;
      case ']':
      case '}':
        if (depth > 0) --depth;
        break;
      default: break;
    }
  }
  return {};
}

}  // namespace tovala
