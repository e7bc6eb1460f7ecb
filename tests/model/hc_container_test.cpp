#include "model/hc_container.h"

#include <gtest/gtest.h>

#include <random>

#include "model/messages.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes withHeader(size_t length, Bytes body) {
  Bytes out{'H', 'C', 0, 0, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes encode(const Bytes& in) {
  auto e = encodeHc(in);
  EXPECT_TRUE(e.has_value());
  return e ? *e : Bytes{};
}

// The encoder written the slow, obvious way, one window at a time, to check the word-wise one.
Bytes referenceEncode(const Bytes& in) {
  const size_t len = in.size();
  Bytes out = withHeader(len, {});
  if (len < 8) {
    out.insert(out.end(), in.begin(), in.end());
    return out;
  }
  auto at = [&](size_t i) -> uint8_t { return i < len ? in[i] : 0; };
  auto count = [&](uint8_t base, size_t max, size_t c) {
    if (c < max) return out.push_back(uint8_t(base | c));
    out.push_back(uint8_t(base | max));
    for (c -= max; c >= 255; c -= 255) out.push_back(255);
    out.push_back(uint8_t(c));
  };
  size_t n = 0;
  auto byteRun = [&] {
    size_t c = 1;
    while (n + c < len && in[n + c] == in[n]) ++c;
    count(0x80, 31, c);
    out.push_back(in[n]);
    n += c;
  };
  auto patternRun = [&](size_t k) {
    auto starts = [&](size_t p) {
      for (size_t j = 0; j < k; ++j)
        if (at(p + j) != at(n + j)) return false;
      return true;
    };
    size_t c = 1, p = n + k;
    while (p < len && starts(p)) ++c, p += k;
    count(uint8_t(0x80 | ((k - 1) << 5)), 31, c);
    for (size_t j = 0; j < k; ++j) out.push_back(at(n + j));
    n = p;
  };
  auto stops = [&](size_t m) {
    uint8_t w[8];
    for (size_t j = 0; j < 8; ++j) w[j] = at(m + j);
    return (w[0] == w[4] && w[1] == w[5] && w[2] == w[6] && w[3] == w[7]) ||
           (w[0] == w[3] && w[1] == w[4] && w[2] == w[5]) || (w[0] == w[2] && w[1] == w[3]) ||
           w[0] == w[1];
  };
  while (n < len) {
    uint8_t w[8];
    for (size_t j = 0; j < 8; ++j) w[j] = at(n + j);
    if (w[0] == w[1] && w[1] == w[2] && w[2] == w[3])
      byteRun();
    else if (w[0] == w[4] && w[1] == w[5] && w[2] == w[6] && w[3] == w[7] && n + 4 < len)
      patternRun(4);
    else if (w[0] == w[3] && w[1] == w[4] && w[2] == w[5] && n + 3 < len)
      patternRun(3);
    else if (w[0] == w[2] && w[1] == w[3] && n + 2 < len)
      patternRun(2);
    else if (w[0] == w[1])
      byteRun();
    else {
      const size_t start = n++;
      while (n < len && !stops(n)) ++n;
      count(0, 63, n - start);
      out.insert(out.end(), in.begin() + long(start), in.begin() + long(n));
    }
  }
  return out;
}

// Data shaped like the files: runs, short patterns, zero-heavy words and noise, mixed.
Bytes shapedData(std::mt19937& rng, size_t size) {
  Bytes out;
  while (out.size() < size) {
    const unsigned kind = rng() % 5;
    const size_t n = 1 + rng() % (kind == 0 ? 600 : 40);
    if (kind == 0)
      out.insert(out.end(), n, uint8_t(rng() % 3));
    else if (kind == 1) {
      const size_t k = 2 + rng() % 3;
      Bytes pat(k);
      for (auto& b : pat) b = uint8_t(rng() % 4);
      for (size_t i = 0; i < n; ++i) out.push_back(pat[i % k]);
    } else if (kind == 2) {
      for (size_t i = 0; i < n; ++i) out.push_back(i % 4 == 3 ? uint8_t(0x3F) : 0);
    } else {
      for (size_t i = 0; i < n; ++i) out.push_back(uint8_t(rng()));
    }
  }
  out.resize(size);
  return out;
}

TEST(HcContainer, WorkedExamplesEncodeExactly) {
  EXPECT_EQ(encode(Bytes(10, 0x61)), withHeader(10, {0x8A, 0x61}));
  EXPECT_EQ(encode({0x61, 0x62, 0x63, 0x64, 0x61, 0x62, 0x63, 0x64}),
            withHeader(8, {0xE2, 0x61, 0x62, 0x63, 0x64}));
  // 31 + 255 + 14 = 300.
  EXPECT_EQ(encode(Bytes(300, 0x07)), withHeader(300, {0x9F, 0xFF, 0x0E, 0x07}));
  // Short payloads follow the header as they are.
  EXPECT_EQ(encode({1, 2, 3, 4, 5}), withHeader(5, {1, 2, 3, 4, 5}));
  EXPECT_EQ(encode({}), withHeader(0, {}));
  // A 31-byte run needs the chain byte 0; a 94-byte literal continues with 31.
  EXPECT_EQ(encode(Bytes(31, 9)), withHeader(31, {0x9F, 0x00, 0x09}));
  Bytes noise(94);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 7 + 1);
  Bytes expected{0x3F, 31};
  expected.insert(expected.end(), noise.begin(), noise.end());
  EXPECT_EQ(encode(noise), withHeader(94, expected));
}

TEST(HcContainer, RepetitionPassingTheEndDecodesLonger) {
  // The last pattern 07 09 00 00 is matched against the zeros past the end and counted twice.
  const Bytes payload{1, 2, 3, 5, 7, 9, 0, 0, 7, 9};
  const Bytes file = encode(payload);
  EXPECT_EQ(file, withHeader(10, {0x04, 1, 2, 3, 5, 0xE2, 7, 9, 0, 0}));
  Bytes out;
  ASSERT_EQ(decodeHc(file, out), HcStatus::Ok);
  ASSERT_EQ(out.size(), 12u);
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), out.begin()));
}

TEST(HcContainer, MatchesReferenceAndRoundTrips) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    const size_t size = round < 64 ? size_t(round) : 8 + rng() % (round < 300 ? 300 : 20000);
    const Bytes in = shapedData(rng, size);
    const Bytes file = encode(in);
    ASSERT_EQ(file, referenceEncode(in)) << "size " << size << " round " << round;
    Bytes out;
    ASSERT_EQ(decodeHc(file, out), HcStatus::Ok);
    ASSERT_GE(out.size(), in.size());
    ASSERT_LE(out.size(), in.size() + 3);
    ASSERT_TRUE(std::equal(in.begin(), in.end(), out.begin())) << "round " << round;
  }
}

// Runs of every pattern length and literals of every length around the decoder's word and
// 16-byte moves, each at the very end of the stream (where no word may be read past it) and
// followed by more data; decoded into a vector that already holds a longer result.
TEST(HcContainer, RoundTripsAtWideMoveBoundaries) {
  Bytes reused(70000, 0xEE);
  for (size_t k = 1; k <= 4; ++k) {
    for (size_t total = 1; total <= 80; ++total) {
      for (const bool tail : {false, true}) {
        Bytes run;
        for (size_t j = 0; j < total; ++j) run.push_back(uint8_t(0x10 + j % k));
        Bytes in{9, 7, 5, 3, 1, 8, 6, 4};  // a literal in front
        in.insert(in.end(), run.begin(), run.end());
        for (size_t j = 0; tail && j < 37; ++j) in.push_back(uint8_t(j * 11 + 1));
        Bytes out = reused;
        ASSERT_EQ(decodeHc(encode(in), out), HcStatus::Ok);
        ASSERT_GE(out.size(), in.size());
        ASSERT_LE(out.size(), in.size() + 3);
        ASSERT_TRUE(std::equal(in.begin(), in.end(), out.begin()))
            << "k " << k << " total " << total << " tail " << tail;
      }
    }
  }
  for (size_t n = 1; n <= 70; ++n) {
    Bytes in(12, 0);  // a run, then a literal of n bytes that ends the stream
    for (size_t j = 0; j < n; ++j) in.push_back(uint8_t(j * 11 + 1));
    Bytes out = reused;
    ASSERT_EQ(decodeHc(encode(in), out), HcStatus::Ok);
    ASSERT_EQ(out, in) << "literal " << n;
  }
}

// A refused stream leaves the reused vector empty, also when a run of the short form would end
// just past the room the stored length allows.
TEST(HcContainer, RefusesRunsPastTheRoomIntoAReusedVector) {
  Bytes out(300, 1);
  // 100000 bytes of slack allowed past a stored length of 8: literal 8, then runs of 24 bytes.
  Bytes body{0x08, 1, 2, 3, 4, 5, 6, 7, 8};
  for (size_t done = 0; done < kHcDecodeSlack; done += 24) {
    body.push_back(0x98);  // 24 times one byte
    body.push_back(0x5A);
  }
  ASSERT_EQ(decodeHc(withHeader(8, body), out), HcStatus::Corrupt);
  EXPECT_TRUE(out.empty());
  // A last run of 16 instead of 24 fills the room exactly.
  body.pop_back();
  body.pop_back();
  body.push_back(0x90);  // 16 times
  body.push_back(0x5A);
  out.assign(10, 1);
  ASSERT_EQ(decodeHc(withHeader(8, body), out), HcStatus::Ok);
  EXPECT_EQ(out.size(), 8 + kHcDecodeSlack);
  EXPECT_EQ(out.back(), 0x5A);
}

TEST(HcContainer, RefusesWhatItCannotHold) {
  EXPECT_FALSE(encodeHc(Bytes(kHcMaxPayload + 1, 0)).has_value());
  const auto largest = encodeHc(Bytes(kHcMaxPayload, 0));
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(hcStoredLength(*largest), kHcMaxPayload);
}

TEST(HcContainer, RefusesBrokenStreams) {
  Bytes out{1, 2, 3};
  EXPECT_EQ(decodeHc(Bytes{}, out), HcStatus::NotHc);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(decodeHc(Bytes{'H', 'X', 0, 0, 0, 0, 1, 5}, out), HcStatus::NotHc);
  EXPECT_EQ(decodeHc(Bytes{'H', 'C', 0, 0, 0}, out), HcStatus::Corrupt);
  EXPECT_EQ(decodeHc(withHeader(5, {1, 2, 3}), out), HcStatus::Corrupt);  // raw bytes missing
  // Every cut of a real stream is refused, and nothing is handed out.
  std::mt19937 rng(7);
  const Bytes file = encode(shapedData(rng, 3000));
  for (size_t cut = 0; cut < file.size(); ++cut) {
    out.assign(4, 1);
    ASSERT_NE(decodeHc(Bytes(file.begin(), file.begin() + long(cut)), out), HcStatus::Ok) << cut;
    ASSERT_TRUE(out.empty());
  }
  // A count chain that never ends, and a repetition far past the stored length.
  EXPECT_EQ(decodeHc(withHeader(8, {0x9F, 0xFF, 0xFF}), out), HcStatus::Corrupt);
  Bytes runaway;
  for (int i = 0; i < 500; ++i) runaway.push_back(0xFF);
  runaway.insert(runaway.begin(), 0x9F);
  runaway.push_back(0x00);
  runaway.push_back(0x41);
  EXPECT_EQ(decodeHc(withHeader(8, runaway), out), HcStatus::Corrupt);
  // Literal and repetition of count zero are legal no-ops; bit 6 of a literal is ignored.
  ASSERT_EQ(decodeHc(withHeader(8, {0x00, 0x80, 0x41, 0x48, 1, 2, 3, 4, 5, 6, 7, 8}), out),
            HcStatus::Ok);
  EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(HcContainer, FileFormsReportTheirFailures) {
  test::TempDir dir;
  RecordingUi ui;
  const std::string src = dir.file("in.bin"), hc = dir.file("out.hc"), back = dir.file("back.bin");
  Bytes payload(5000);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(i / 100);
  test::writeFileBytes(src, payload);
  ASSERT_TRUE(encodeFile(src, hc, ui));
  ASSERT_TRUE(decodeFile(hc, back, ui));
  Bytes decoded = test::readFileBytes(back);
  ASSERT_GE(decoded.size(), payload.size());
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), decoded.begin()));
  EXPECT_TRUE(ui.shown.empty());

  struct Case {
    bool encode;
    std::string from, to, text;
  };
  test::writeFileBytes(dir.file("plain.txt"), {'n', 'o', 't', ' ', 'h', 'c'});
  const Case cases[] = {
      {true, "", hc, msg::kNoFile},
      {true, dir.file("missing"), hc, msg::kMissLoad},
      {true, src, dir.file("no/such/folder/x.hc"), msg::kSaveFailed},
      {false, "", back, msg::kNoFile},
      {false, dir.file("missing"), back, msg::kMissLoad},
      {false, dir.file("plain.txt"), back, msg::kNotHcFile},
  };
  for (const Case& c : cases) {
    ui.reset();
    const Bytes before = test::readFileBytes(c.to);
    EXPECT_FALSE(c.encode ? encodeFile(c.from, c.to, ui) : decodeFile(c.from, c.to, ui));
    ASSERT_EQ(ui.shown.size(), 1u) << c.text;
    EXPECT_EQ(ui.shown[0].text, c.text);
    EXPECT_EQ(ui.shown[0].caption, msg::kCaptionErrorLower);
    EXPECT_EQ(test::readFileBytes(c.to), before) << "destination changed: " << c.text;
  }
}

}  // namespace
}  // namespace tovala
