#pragma once

namespace tovala::cli {
inline constexpr const char* kVersion = "0.1.0";
}
