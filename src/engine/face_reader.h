#pragma once
// Face data files (".fmk"): a face described as numbers, read into the current document as a
// set of face-part lines, a controller line that keeps them with the face's reference joint,
// and the face's objects.
//
// Layout (little-endian): i32 h0 (not used); 45 f32 proportions P; i32 R rows; i32 S (extra
// words per sample record, minus one); i32 E eye-area parts (4 or more); R rows of 17 + E
// sample records {i32 mode, f32 x, f32 y, i32, S + 1 x i32}; T1: E x i32; T2: 21 words; T3 and
// T4: E triples of i32 each; T5: 16 words; 1480 bytes not read; T6: 5 words; i32 n and n pairs
// of words (T7).
//
// Sample records fill the parts row by row: record 1 the left eye (315), 2 .. 8 lines 316 ..
// 322, 9 and 10 two positions for the builder (the hair parting and the crown), 11 .. 14 lines
// 323 .. 326, 17 + k the k-th eye-area part (327, 328, 329, 330, then hair strands 334, ...).
// A sample's x and y (-1 .. 1 across the part) are placed by the part's proportions (see
// face_parts.h). A record whose mode is negative, or whose x or y is not a finite number, adds
// no point.
//
// The counts R, S, E and n are checked against what the file holds and against sane bounds
// before anything is read into the document; a file that fails is refused with
// "読込が出来ません。" and the document stays as it was.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/face_parts.h"

namespace tovala {

class Document;

inline constexpr int32_t kMaxFaceRows = 62;  // points a face-part line can hold
inline constexpr int32_t kMaxExtraWords = 63;
inline constexpr int32_t kMaxEyeAreaParts = 64;
inline constexpr int32_t kMaxFacePairs = 4096;
inline constexpr size_t kFaceSkippedBytes = 1480;

struct FaceSample {
  int32_t mode = -1;
  float x = 0, y = 0;
};

struct FaceData {
  std::array<float, kPropCount> P{};
  int32_t rows = 0;
  int32_t extraWords = 0;  // S
  int32_t eyeAreaParts = kMinEyeAreaParts;
  std::vector<FaceSample> samples;  // rows x (17 + E), row by row
  std::vector<int32_t> t1;
  std::array<uint32_t, 21> t2{};
  std::vector<std::array<int32_t, 3>> t3, t4;
  std::array<uint32_t, 16> t5{};
  std::array<uint32_t, 5> t6{};
  std::vector<std::array<uint32_t, 2>> t7;

  int recordsPerRow() const { return 17 + eyeAreaParts; }
  const FaceSample& sample(int row, int record) const {  // record is 1-based
    return samples[size_t(row) * size_t(recordsPerRow()) + size_t(record - 1)];
  }
};

// Reads and checks a whole face data file. False when a count is out of bounds or the file is
// shorter than its counts say.
bool parseFaceData(std::span<const uint8_t> bytes, FaceData& out);

// Appends the face to the document ("顔画像データ読込み"): its part lines, its controller and
// its 22 objects, built on the lines this read creates (a face read before keeps its lines and
// objects as they were). 1 done; -1 when the file cannot be read or is refused (message shown,
// document unchanged) or in motion mode (no message: the editor refuses the command before it
// asks for a file, with kFaceInMotionRefusal).
inline constexpr const char* kFaceInMotionRefusal =
    "動きモードでは顔画像データを読み込めません。動きモードを終了してから読み込んでください。";
int loadFaceData(Document& doc, const std::string& path);
int loadFaceData(Document& doc, std::span<const uint8_t> bytes);

// Where the face goes: its centre, width and height on the canvas.
struct FaceFrame {
  double cx = 0, cy = 0, width = 0, height = 0;
};

}  // namespace tovala
