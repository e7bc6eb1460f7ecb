#include "shell/panels/body_shape/body_shape_keeper.h"

#include <filesystem>

#include "platform/ui.h"
#include "script/body_shape_file.h"
#include "shell/document_session.h"

namespace tovala {

namespace {
constexpr const char* kKeeperName = "tovala-body-shape-keeper";
constexpr const char* kShapeCaption = "体型";
}  // namespace

BodyShapeKeeper& BodyShapeKeeper::of(DocumentSession& session) {
  if (auto* k = session.findChild<BodyShapeKeeper*>(kKeeperName, Qt::FindDirectChildrenOnly))
    return *k;
  return *new BodyShapeKeeper(session);
}

BodyShapeKeeper::BodyShapeKeeper(DocumentSession& session) : QObject(&session), session_(session) {
  setObjectName(kKeeperName);
  // A save sets the path once the project is written: the shape goes beside it then.
  connect(&session, &DocumentSession::aboutToSave, this, [this] { saving_ = true; });
  connect(&session, &DocumentSession::pathChanged, this, [this] {
    if (saving_) writeBeside();
    saving_ = false;
  });
  // An opened project brings its own shape; a new or built document none until it is set.
  connect(&session, &DocumentSession::aboutToReplace, this, [this] { saving_ = false; });
  connect(&session, &DocumentSession::documentReplaced, this, [this] { readBeside(); });
  readBeside();
}

void BodyShapeKeeper::readBeside() {
  shape_.reset();
  if (session_.path().empty()) return;
  const std::string path = bodyShapePathFor(session_.path());
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  BodyShape read;
  std::string reason;
  if (!loadBodyShapeFile(path, read, reason)) {
    session_.ui().message(std::string(kBodyShapeReadFailed) + "\n" + reason, kShapeCaption);
    return;
  }
  shape_ = read;
}

// Only a known shape is written; a file beside a project whose shape is not known is left as it
// is (it may be one the user mends, or a project made before shapes were kept).
void BodyShapeKeeper::writeBeside() {
  if (!shape_ || session_.path().empty()) return;
  std::string reason;
  if (!saveBodyShapeFile(bodyShapePathFor(session_.path()), *shape_, reason))
    session_.ui().message(std::string(kBodyShapeWriteFailed) + "\n" + reason, kShapeCaption);
}

}  // namespace tovala
