#pragma once
// Limits a JSON text is held to before a reader parses it. Each file form states how deep its
// arrays and objects nest and about how many values it can hold; the check is one pass over the
// bytes that allocates nothing, so a hostile text (a pose nested 200,000 levels deep, or a file
// of millions of empty objects) is refused before any parser spends stack or memory on it.
//
// The check does not validate the JSON: what it passes still goes to the parser, which refuses
// text that is not JSON. It only guarantees that what the parser sees is shallow and of a
// bounded number of values.

#include <cstddef>
#include <string>
#include <string_view>

namespace tovala {

struct JsonLimits {
  size_t maxBytes = 0;  // the text's length
  int maxDepth = 0;     // arrays and objects inside one another; a top-level object is 1
  // Values of every kind, containers included, counted as one plus the commas and opening
  // brackets outside strings: a JSON text never has more values than that (every value but the
  // first is the first in its array or object, or follows a comma), so a parser's tree of a
  // text within the limit has at most this many nodes.
  size_t maxValues = 0;
};

// Empty when the text keeps within `limits`; otherwise why it does not, in the words a reader
// shows after its own message ("ファイルが大きすぎます", "入れ子が深すぎます（3 段まで）",
// "値が多すぎます（1000 個まで）").
std::string jsonLimitFault(std::string_view text, const JsonLimits& limits);

}  // namespace tovala
