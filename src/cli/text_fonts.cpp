#include "cli/text_fonts.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "model/document.h"

namespace tovala::cli {
namespace {

bool hasTextLines(const Document& doc) {
  for (int i = 0; i + 1 < doc.lineCount(); ++i)
    if (doc.lines[size_t(i)].kind == 3 && doc.findText(doc.lines[size_t(i)].nam) >= 0) return true;
  return false;
}

// The folder of the running executable, with its trailing slash; empty when unknown.
std::string ownFolder() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || size_t(n) >= path.size()) return {};
  path.resize(size_t(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::unique_ptr<TextPainter> textPainterFor(const Document& doc, const char* command) {
  if (!hasTextLines(doc)) return nullptr;
  const std::string folder = ownFolder();
  std::string why;
  if (folder.empty()) {
    why = "the tool's own folder is unknown";
  } else {
    // Kept loaded for the rest of the process: Qt does not expect to be unloaded.
    void* module = dlopen((folder + kTextModuleName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      const char* err = dlerror();
      why = err ? err : "the font module cannot be loaded";
    } else if (auto factory = reinterpret_cast<TextModuleFactory>(dlsym(module, kTextModuleFactory))) {
      if (TextPainter* painter = factory()) return std::unique_ptr<TextPainter>(painter);
      why = "the fonts could not be started";
    } else {
      why = std::string(kTextModuleName) + " has no " + kTextModuleFactory;
    }
  }
  std::fprintf(stderr, "%s: %s: the characters of text lines are not drawn\n", command, why.c_str());
  return nullptr;
}

}  // namespace tovala::cli
