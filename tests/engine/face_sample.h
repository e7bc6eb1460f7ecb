#pragma once
// Builds face data files for tests: a complete sample face (eyes, brows, nose, mouth, contours,
// ears, lids, hair), and the means to vary counts and records for the refusal cases.

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "codec/byte_io.h"

namespace tovala::test {

struct FaceFile {
  using Shape = std::vector<std::pair<float, float>>;

  int32_t eyeArea = 14;  // E: 327 .. 330 and ten hair strands
  int32_t extraWords = 0;
  std::array<float, 45> P{};
  // Shapes by sample record (1 .. 8, 11 .. 14, and 17 + k for eye-area part k).
  std::map<int, Shape> shapes;
  std::array<uint32_t, 21> t2{};
  std::vector<std::array<uint32_t, 2>> pairs;
  int32_t rowsOverride = -1;  // write this R instead of the real one (the rows stay as they are)
  int32_t pairsOverride = -1;
  int32_t eyeAreaOverride = -1;  // likewise for E

  int rows() const {
    size_t r = 0;
    for (const auto& [rec, s] : shapes) r = std::max(r, s.size());
    return int(r);
  }

  std::vector<uint8_t> bytes() const {
    ByteWriter w;
    w.i32(1);
    for (float p : P) w.f32(p);
    const int r = rows();
    w.i32(rowsOverride >= 0 ? rowsOverride : r);
    w.i32(extraWords);
    w.i32(eyeAreaOverride >= 0 ? eyeAreaOverride : eyeArea);
    for (int row = 0; row < r; ++row) {
      for (int rec = 1; rec <= 17 + eyeArea; ++rec) {
        auto it = shapes.find(rec);
        const bool has = it != shapes.end() && size_t(row) < it->second.size();
        w.i32(has ? 0 : -1);
        w.f32(has ? it->second[size_t(row)].first : 0);
        w.f32(has ? it->second[size_t(row)].second : 0);
        w.i32(0);
        for (int i = 0; i <= extraWords; ++i) w.i32(0);
      }
    }
    for (int k = 0; k < eyeArea; ++k) w.i32(0);         // T1
    for (uint32_t v : t2) w.u32(v);                     // T2
    for (int k = 0; k < 2 * eyeArea; ++k) w.zeros(12);  // T3, T4
    w.zeros(16 * 4);                                    // T5
    w.zeros(1480);
    w.zeros(5 * 4);  // T6
    w.i32(pairsOverride >= 0 ? pairsOverride : int32_t(pairs.size()));
    for (const auto& p : pairs) {
      w.u32(p[0]);
      w.u32(p[1]);
    }
    return w.take();
  }
};

inline FaceFile::Shape mirrored(const FaceFile::Shape& s) {
  FaceFile::Shape m;
  for (const auto& [x, y] : s) m.push_back({-x, y});
  return m;
}

// The sample face: proportions of a friendly, slightly stylised face.
inline FaceFile sampleFace() {
  FaceFile f;
  const float props[45] = {1.3f,  0.2f,  0.0f,  0.11f, 0.055f, 0.21f,  -0.13f, 0.13f,  0.03f,
                           0.15f, 0.05f, 0.06f, 0.3f,  0.09f,  0.03f,  0.0f,   0.5f,   0.5f,
                           0.5f,  0.03f, 0.07f, 0.11f, 0.2f,   -0.01f, 0.125f, 0.065f, -0.06f,
                           0.5f,  0.6f,  0.47f, 0.28f, 0.1f,   0.3f,   -0.06f, 0.5f,   0.6f,
                           0,     0,     0,     0,     0,      0,      0,      0.9f,   0.1f};
  for (int i = 0; i < 45; ++i) f.P[size_t(i)] = props[i];

  const FaceFile::Shape eye = {{-1, 0.15f},     {-0.7f, -0.55f}, {-0.3f, -0.9f}, {0.2f, -0.95f},
                               {0.65f, -0.75f}, {1, -0.25f},     {0.75f, 0.35f}, {0.3f, 0.6f},
                               {-0.2f, 0.6f},   {-0.65f, 0.45f}};
  const FaceFile::Shape brow = {{-1, -0.1f},   {-0.5f, -0.75f}, {0.1f, -0.9f},
                                {0.6f, -0.6f}, {1, 0.0f},       {0.6f, -0.2f},
                                {0.1f, -0.3f}, {-0.5f, 0.1f},   {-1, 0.8f}};
  const FaceFile::Shape nose = {
      {0.2f, -0.9f}, {0.35f, 0.2f}, {0.55f, 0.75f}, {0.15f, 0.95f}, {-0.3f, 0.85f}};
  const FaceFile::Shape mouth = {{-1, 0}, {-0.5f, 0.45f}, {0, 0.6f}, {0.5f, 0.45f}, {1, 0}};
  const FaceFile::Shape contour = {{-1, -0.45f},   {-0.99f, -0.1f}, {-0.94f, 0.25f}, {-0.8f, 0.55f},
                                   {-0.55f, 0.8f}, {-0.27f, 0.95f}, {0, 1}};
  const FaceFile::Shape ear = {{0.6f, -0.9f},  {-0.3f, -1},   {-0.9f, -0.5f}, {-0.85f, 0.2f},
                               {-0.4f, 0.75f}, {0.3f, 0.95f}, {0.6f, 0.4f}};
  const FaceFile::Shape lid = {{-1.05f, 0.25f}, {-0.7f, -0.55f}, {-0.3f, -0.95f}, {0.2f, -1},
                               {0.7f, -0.8f},   {1.1f, -0.2f},   {0.75f, -0.45f}, {0.2f, -0.65f},
                               {-0.3f, -0.6f},  {-0.7f, -0.3f}};
  const FaceFile::Shape head = {{0, -1}, {-0.45f, -0.93f}, {-0.8f, -0.7f}, {-0.97f, -0.35f},
                                {-1, 0}, {-0.97f, 0.25f},  {-0.9f, 0.4f}};
  const FaceFile::Shape lower = {{-0.5f, -1},  {0.5f, -1}, {0.7f, 0},
                                 {0.5f, 0.9f}, {0, 1},     {-0.4f, 0.3f}};
  const FaceFile::Shape front[3] = {
      {{0.0f, -0.85f}, {0.32f, -0.8f}, {0.25f, -0.45f}, {0.12f, -0.2f}, {0.05f, -0.5f}},
      {{0.25f, -0.85f}, {0.72f, -0.72f}, {0.7f, -0.4f}, {0.55f, -0.1f}, {0.45f, -0.45f}},
      {{0.6f, -0.8f}, {0.92f, -0.55f}, {0.97f, -0.2f}, {0.9f, 0.2f}, {0.75f, -0.25f}}};
  const FaceFile::Shape back = {{0.05f, -1}, {0.85f, -0.75f}, {1.08f, -0.1f}, {1.05f, 0.6f},
                                {0.8f, 1},   {0.4f, 0.7f},    {0.3f, 0}};
  const FaceFile::Shape middle = {
      {0.5f, -0.9f}, {0.95f, -0.45f}, {1, 0.2f}, {0.85f, 0.5f}, {0.7f, 0}};

  f.shapes[1] = eye;             // 315 left eye (viewer's right)
  f.shapes[2] = mirrored(eye);   // 316 right eye
  f.shapes[3] = mirrored(brow);  // 317 right brow
  f.shapes[4] = brow;            // 318 left brow
  f.shapes[5] = nose;
  f.shapes[6] = mouth;
  f.shapes[7] = contour;            // 321 right contour (viewer's left)
  f.shapes[8] = mirrored(contour);  // 322 left contour
  f.shapes[9] = {{0.1f, -0.8f}};    // hair parting
  f.shapes[10] = {{0, -1.2f}};      // crown
  f.shapes[11] = ear;               // 323 right ear
  f.shapes[12] = mirrored(ear);
  f.shapes[13] = mirrored(lid);  // 325 right lid
  f.shapes[14] = lid;
  f.shapes[18] = head;            // 327 right head
  f.shapes[19] = mirrored(head);  // 328 left head
  f.shapes[20] = lower;           // 329 left lower hair
  f.shapes[21] = mirrored(lower);
  for (int i = 0; i < 3; ++i) {
    f.shapes[22 + i] = front[i];            // 334 .. 336 front hair, left
    f.shapes[25 + i] = mirrored(front[i]);  // 337 .. 339 right
  }
  f.shapes[28] = back;  // 340, 341 back hair
  f.shapes[29] = mirrored(back);
  f.shapes[30] = middle;  // 342, 343 middle hair
  f.shapes[31] = mirrored(middle);
  return f;
}

}  // namespace tovala::test
