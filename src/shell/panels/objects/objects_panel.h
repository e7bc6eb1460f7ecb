#pragma once
// The objects panel "オブジェクト" (dialog 135): the object list, the current object's fields,
// its line pieces and reference point picked on the canvas, and its two value lists. Like every
// panel it changes nothing itself: each button stores its control id as the action and tells
// the window, which reads the panel and applies the change.

#include <map>

#include "shell/panel.h"
#include "shell/panels/objects/objects_fields.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;
class EyeEditorDialog;

class ObjectsPanel : public Panel {
  Q_OBJECT

 public:
  // Actions besides the buttons' control ids.
  static constexpr int kSelectObject = 1221;  // a row of the object list was chosen
  static constexpr int kApplyFields = 1;      // draw type, mode, colour, depth or name changed

  ObjectsPanel(const Document& doc, QWidget* parent);

  // Shows the object list and the current object.
  void refresh() override;

  // What the window reads.
  int chosenRow() const;
  int entryIndex() const;                // combo 1223
  int firstValueIndex() const;           // combo 1228
  int secondValueIndex() const;          // combo 1229
  std::string firstValueInput() const;   // edit 1244
  std::string secondValueInput() const;  // edit 1248
  ObjectFields fields() const;

  // The canvas pick in progress; the window fills it in and has the panel show it.
  ObjectsPick pick;
  void showPick();

  QPushButton* button(int id) const;
  QListWidget* list() const { return list_; }
  // The eye editor opened from the panel, if it was ever opened.
  EyeEditorDialog* eyeEditor() const;
  QComboBox* combo(int id) const;
  QLineEdit* edit(int id) const;

 protected:
  void hideEvent(QHideEvent* e) override;  // the eye editor goes with the panel

 private:
  QPushButton* addButton(int id, const char* label);
  QLineEdit* addEdit(int id, bool readOnly);
  QComboBox* addCombo(int id);

  const Document& doc_;
  QListWidget* list_;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QLineEdit*> edits_;
  std::map<int, QComboBox*> combos_;
  bool refreshing_ = false;
};

// The pick readout next to "編集": the piece picked so far as "line,first,last".
std::string pickedPieceText(const ObjectsPick& pick);

}  // namespace tovala
