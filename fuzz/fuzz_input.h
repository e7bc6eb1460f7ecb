#pragma once
// Inputs of the file fuzz targets: an "HC" container is decoded first, as a user's open does;
// anything else is taken as a plain payload.

#include <cstdint>
#include <vector>

#include "model/hc_container.h"

inline bool fuzzPayload(const uint8_t* data, size_t size, std::vector<uint8_t>& payload) {
  if (size >= 2 && data[0] == 'H' && data[1] == 'C')
    return tovala::decodeHc(std::span(data, size), payload) == tovala::HcStatus::Ok;
  payload.assign(data, data + size);
  return true;
}
