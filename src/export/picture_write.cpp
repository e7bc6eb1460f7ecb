#include "export/picture_write.h"

#include <vector>

#include "codec/png_file.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"

namespace tovala {

bool writePngFile(const std::string& path, const ImageSlot& image, std::span<const uint8_t> alpha,
                  Ui& ui) {
  const std::vector<uint8_t> file = encodePng(image, alpha);
  if (file.empty() || !writeFileAtomic(path, file)) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

}  // namespace tovala
