#include "model/file_io.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace tovala {

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path, uint64_t maxBytes) {
  // Only plain files: a pipe would block the open or the read, and a device such as /dev/zero
  // would be read up to the limit before being refused.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  // A file already larger than the limit is refused before a byte of it is read, and the buffer
  // is sized once for the rest. (The reading below still stops at the limit, should the file
  // grow meanwhile.)
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > maxBytes) return std::nullopt;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  std::vector<uint8_t> data;
  if (!ec) data.reserve(size_t(size));
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n == 0) {
      ok = !std::ferror(f);
      break;
    }
    if (data.size() + n > maxBytes) {
      ok = false;
      break;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  std::fclose(f);
  if (!ok) return std::nullopt;
  return data;
}

bool writeFileAtomic(const std::string& path, std::span<const uint8_t> data) {
  namespace fs = std::filesystem;
  if (path.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  fs::path target(path);
  fs::path dir = target.parent_path();
  std::random_device rd;
  std::string tmp =
      (dir / ("." + target.filename().string() + ".tmp" + std::to_string(rd() % 1000000u)))
          .string();
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n <= 0) {
      ok = false;
      break;
    }
    done += size_t(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

std::string fileExtension(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

}  // namespace tovala
