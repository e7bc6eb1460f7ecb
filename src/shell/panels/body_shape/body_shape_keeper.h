#pragma once
// The body shape of the figure being edited, kept beside its project: NAME.tovshape next to
// NAME.tov, read when the project is opened and written when it is saved. A document the editor
// did not build as a body model, or one opened without a shape file, has no known shape.

#include <QObject>

#include <optional>

#include "script/body_shape.h"

namespace tovala {

class DocumentSession;

class BodyShapeKeeper : public QObject {
  Q_OBJECT

 public:
  // The session's keeper, made on first use; it then reads the shape beside the session's file.
  static BodyShapeKeeper& of(DocumentSession& session);

  const std::optional<BodyShape>& shape() const { return shape_; }
  // The figure was built (人体モデル作成) or rebuilt (体型変更) in `shape`.
  void setShape(const BodyShape& shape) { shape_ = shape; }

 private:
  explicit BodyShapeKeeper(DocumentSession& session);
  void readBeside();
  void writeBeside();

  DocumentSession& session_;
  std::optional<BodyShape> shape_;
  bool saving_ = false;
};

}  // namespace tovala
