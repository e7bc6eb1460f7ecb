#pragma once
// Writing a finished picture to a file: encoded whole in memory, then written atomically, so a
// failure leaves whatever was there before.

#include <cstdint>
#include <span>
#include <string>

#include "codec/picture.h"

namespace tovala {

class Ui;

// The picture as a PNG (RGBA when `alpha` holds one opacity per pixel); a failure shows the
// save-failed message.
bool writePngFile(const std::string& path, const ImageSlot& image, std::span<const uint8_t> alpha,
                  Ui& ui);

}  // namespace tovala
