#pragma once
// The one place where the window is bound to the drawing and file operations of the layers
// below: the picture rebuild and composition, and project, parts and snapshot files. Commands
// whose operation is not bound are shown disabled.

#include <functional>
#include <string>

namespace tovala {

class Document;
class TMyWindow;

struct CoreCalls {
  std::function<void(Document&)> rebuildLayers;
  std::function<void(Document&)> refreshSelected;
  std::function<void(Document&)> buildDisplay;
  // A user's open or save ("普通読込", "普通保存").
  std::function<bool(Document&, const std::string&)> openProject;
  std::function<bool(const Document&, const std::string&)> saveProject;
  std::function<bool(Document&, const std::string&)> loadParts;
  std::function<bool(const Document&, const std::string&)> saveParts;
};

CoreCalls& core();

// Binds what exists, and hands the undo ring its line and file operations.
void installCoreCalls(TMyWindow& window);

}  // namespace tovala
