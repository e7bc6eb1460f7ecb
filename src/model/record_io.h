#pragma once
// The binary blocks shared by project and parts files: lines with their points, parameters and
// code, objects, texts and image entries, written field by field in record order.
//
// Readers take every count from the file and refuse (return false) a count that is below the
// sentinel's one or larger than the bytes left could hold, before anything is allocated.

#include <cstddef>
#include <cstdint>

#include "codec/byte_io.h"
#include "model/image_store.h"
#include "model/records.h"

namespace tovala {

inline constexpr size_t kPointFixedBytes = 152;
inline constexpr size_t kLineFixedBytes = 160;
inline constexpr size_t kObjectBlockBytes = 1072;
inline constexpr size_t kTextBlockBytes = 204;
inline constexpr int32_t kTextRecordSize = 200;
// Smallest blocks a count can stand for: one sentinel parameter, one code entry, one point.
inline constexpr size_t kPointMinBytes = kPointFixedBytes + 12 + 8 + 8;
inline constexpr size_t kLineMinBytes = kLineFixedBytes + 12 + 8 + 8 + 4 + kPointMinBytes;
inline constexpr size_t kImageEntryMinBytes = 4 + kBitmapInfoHeaderSize + 4;
inline constexpr int32_t kMaxCanvasSide = 10000;

void writePoint(ByteWriter& w, const PointRecord& p);
void writeLine(ByteWriter& w, const LineRecord& l);
void writeObject(ByteWriter& w, const ObjectRecord& o);
void writeText(ByteWriter& w, const TextRecord& t);
// An image entry; an empty slot (or none) is written as a 0 x 0 image without pixels.
void writeImageEntry(ByteWriter& w, const ImageSlot* image);

bool readPoint(ByteReader& r, PointRecord& p);
bool readLine(ByteReader& r, LineRecord& l);
bool readObject(ByteReader& r, ObjectRecord& o);
bool readText(ByteReader& r, TextRecord& t);
// Reads an image entry into `slot` of `store`: a 24-bit image, or an empty slot for 0 x 0.
bool readImageEntry(ByteReader& r, ImageStore& store, int slot);

// Reads an i32 count and checks it lies in [minimum, bytes left / bytesEach].
bool readCount(ByteReader& r, int32_t minimum, size_t bytesEach, size_t& count);

}  // namespace tovala
