#pragma once
// The eye editor "目の編集" (dialog 139, modeless): a drawing area showing the current eye object,
// whose iris is resized by its corners and edges and moved by dragging; the eye objects of the list
// in combo 1245, "新規作成" and "削除", and the iris colour in the R, G, B edits 1247 to 1249. Like
// a panel it changes nothing itself: each request is stored in `action` and handed to `onRequest`,
// which applies it to the document (with its undo) and refreshes the dialog.

#include <QDialog>
#include <QWidget>
#include <functional>
#include <map>

#include "model/records.h"
#include "shell/panels/objects/eye_geometry.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tovala {

class Document;

// The drawing area: the eye as the renderer shapes it, the iris rectangle and its handles.
class EyeArea : public QWidget {
  Q_OBJECT

 public:
  explicit EyeArea(QWidget* parent);
  // What is drawn: the current eye, or the drag's preview while a drag is on.
  void display(const ObjectRecord& eye);
  const ObjectRecord& shown() const { return eye_; }
  EyeRect box() const { return eyeRectIn(width(), height()); }

  // A drag ended having changed the eye: the result.
  std::function<void(const ObjectRecord&)> onDragged;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  ObjectRecord eye_, start_;
  int state_ = kEyeDragNone;
  double x0_ = 0, y0_ = 0;
};

class EyeEditorDialog : public QDialog {
  Q_OBJECT

 public:
  enum Action : int {
    kChooseEye = 1245,  // a row of the eye combo was chosen
    kNewEye = 3,        // "新規作成"
    kDeleteEye = 4,     // "削除"
    kDragDone = 101,    // a drag in the drawing area ended; `dragResult` holds the eye
    kColour = 1247,     // an R, G or B edit was finished
  };

  EyeEditorDialog(const Document& doc, QWidget* parent);

  // Shows the eye combo and the current object; closes when the current object is no eye.
  void refresh();

  int action = 0;
  ObjectRecord dragResult;
  std::function<void(EyeEditorDialog&)> onRequest;

  // What the handler reads.
  int chosenRow() const;  // row of the eye combo
  std::string red() const, green() const, blue() const;

  EyeArea* area() const { return area_; }
  QComboBox* eyeCombo() const { return combo_; }
  QPushButton* button(int id) const;
  QLineEdit* edit(int id) const;

 private:
  void request(int code);

  const Document& doc_;
  EyeArea* area_;
  QComboBox* combo_;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QLineEdit*> edits_;
  bool refreshing_ = false;
};

}  // namespace tovala
