#pragma once
// The "HC" run-length container that project and parts files are stored in.
//
// Layout: "HC", two zero bytes, the payload length as 24-bit big-endian, then a stream of
// operations (payloads shorter than 8 bytes follow the header as they are). An operation is a
// control byte: bit 7 set is a repetition (bits 5-6 pattern length - 1, bits 0-4 count), bit 7
// clear a literal run (bits 0-5 count). A count field at its maximum (31 or 63) continues with
// bytes added to it, for as long as each added byte is 255.
//
// A repetition may pass the end of the payload by up to three bytes (the encoder pads its
// look-ahead with zeros), so a decoded stream can be slightly longer than the stored length;
// readers ignore whatever follows their last record.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovala {

class Ui;

inline constexpr size_t kHcHeaderSize = 7;
inline constexpr size_t kHcMaxPayload = 0xFFFFFF;  // what the 24-bit length can name
inline constexpr size_t kHcDecodeSlack = 100000;   // decoded data may not run further past it

// The container holding `payload`, or nothing when the payload is longer than the length field
// can name (such a file would read back cut short).
std::optional<std::vector<uint8_t>> encodeHc(std::span<const uint8_t> payload);

enum class HcStatus {
  Ok,
  NotHc,    // does not start with "HC"
  Corrupt,  // header cut short, an operation cut short, data missing or running far past the end
};

// Decodes a whole container into `out` (replaced). On anything but Ok, `out` is left empty.
HcStatus decodeHc(std::span<const uint8_t> file, std::vector<uint8_t>& out);

// The stored payload length of a container (0 when the header is incomplete).
size_t hcStoredLength(std::span<const uint8_t> file);

// Whole-file forms. Failures are shown through `ui` with the container's own messages
// ("No File!!", "Miss Load!!", "この圧縮形式のファイルではありません!!", "保存に失敗しました。",
// caption "error"); the destination is written atomically and only on success.
bool encodeFile(const std::string& source, const std::string& destination, Ui& ui);
bool decodeFile(const std::string& source, const std::string& destination, Ui& ui);

// Reads and decodes `path`, reporting a failure as decodeFile does. (The project and parts readers
// decode for themselves, so that each refusal shows one message of their own.)
std::optional<std::vector<uint8_t>> readHcFile(const std::string& path, Ui& ui);

}  // namespace tovala
