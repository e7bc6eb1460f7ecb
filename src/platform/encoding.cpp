#include "platform/encoding.h"

#include <algorithm>
#include <cerrno>

#include <iconv.h>

namespace tovala {

namespace {

// Converts with iconv, replacing each unconvertible sequence and going on.
std::string convert(const char* to, const char* from, std::span<const uint8_t> in,
                    std::string_view replacement, size_t badInputStep) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == iconv_t(-1)) return std::string(in.begin(), in.end());
  char* src = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
  size_t srcLeft = in.size();
  char buf[1024];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, size_t(dst - buf));
    if (r == size_t(-1) && errno != E2BIG) {
      out.append(replacement);
      size_t step = std::min(badInputStep, srcLeft);
      if (errno == EILSEQ && badInputStep > 1) {
        // A UTF-8 character: skip its whole sequence.
        uint8_t lead = uint8_t(*src);
        step = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        step = std::min(step, srcLeft);
      }
      src += step;
      srcLeft -= step;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string sjisToUtf8(std::span<const uint8_t> sjis) {
  return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", 1);
}

std::vector<uint8_t> utf8ToSjis(std::string_view utf8) {
  std::string s = convert("CP932", "UTF-8",
                          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(utf8.data()),
                                                   utf8.size()),
                          "?", 4);
  return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace tovala
