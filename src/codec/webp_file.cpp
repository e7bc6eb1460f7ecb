#include "codec/webp_file.h"

#include <webp/encode.h>
#include <webp/mux.h>

namespace tovala {

namespace {
constexpr float kLossyQuality = 90;
}  // namespace

WebpAnimationWriter::~WebpAnimationWriter() {
  if (encoder_) WebPAnimEncoderDelete(encoder_);
}

bool WebpAnimationWriter::start(int32_t width, int32_t height, bool lossless) {
  if (encoder_ || width <= 0 || height <= 0 || width > WEBP_MAX_DIMENSION ||
      height > WEBP_MAX_DIMENSION)
    return false;
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) return false;
  options.anim_params.loop_count = 0;  // for ever
  encoder_ = WebPAnimEncoderNew(width, height, &options);
  width_ = width;
  height_ = height;
  lossless_ = lossless;
  return encoder_ != nullptr;
}

bool WebpAnimationWriter::add(std::span<const uint8_t> rgba, int timeMs) {
  if (!encoder_ || failed_ || rgba.size() < size_t(width_) * size_t(height_) * 4) {
    failed_ = true;
    return false;
  }
  WebPConfig config;
  WebPPicture picture;
  if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return !(failed_ = true);
  config.lossless = lossless_ ? 1 : 0;
  config.quality = lossless_ ? 50 : kLossyQuality;  // for lossless: effort, kept moderate
  picture.width = width_;
  picture.height = height_;
  picture.use_argb = 1;
  bool ok = WebPPictureImportRGBA(&picture, rgba.data(), width_ * 4) &&
            WebPAnimEncoderAdd(encoder_, &picture, timeMs, &config);
  WebPPictureFree(&picture);
  failed_ = !ok;
  return ok;
}

std::vector<uint8_t> WebpAnimationWriter::finish(int endMs) {
  if (!encoder_ || failed_ || !WebPAnimEncoderAdd(encoder_, nullptr, endMs, nullptr)) return {};
  WebPData data;
  WebPDataInit(&data);
  std::vector<uint8_t> bytes;
  if (WebPAnimEncoderAssemble(encoder_, &data)) bytes.assign(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  return bytes;
}

}  // namespace tovala
