#pragma once
// The common widget of the three property pages of "設定": rows of labelled field controls, each
// filled from the document as property_fields gives it, and, on the line and point pages, the
// entry editor (two lists, the "k", "n" and "f" edits and "書換", "挿入", "削除"). A change the
// user makes becomes a PropertyRequest; the page notifies the container, and the window's
// handler applies it with its undo step and refreshes the page.

#include <QString>

#include <map>
#include <vector>

#include "shell/panels/properties/property_edits.h"
#include "shell/panels/properties/settings_panel.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace tovala {

class Document;
class TMyWindow;

// One row of a page: a label and controls, each after an optional small label.
struct PropertyRow {
  const char* label;
  std::vector<std::pair<const char*, int>> controls;
};

// The controls of an entry editor, by their ids on the page.
struct EntryEditorIds {
  int params, code, k, n, f, replace, insert, remove;
  bool codeEditable;
};

class PropertyPage : public SettingsPage {
  Q_OBJECT

 public:
  PropertyPage(const Document& doc, PropertyTarget target, QWidget* parent = nullptr);

  PropertyTarget target() const { return target_; }
  // The latest request; read by the window's handler.
  const PropertyRequest& pending() const { return pending_; }

  void refresh() override;
  void setHex(bool hex) override;

  // A control by its dialog id.
  QWidget* control(int id) const;
  // The entry list the buttons act on and its selected entry.
  EntryList activeList() const { return activeList_; }
  int entryRow() const { return entryRow_; }
  // Selects an entry as a click does (-1 for none).
  void selectEntry(EntryList list, int row);
  // After a list edit: the entry to keep selected.
  void setEntryRow(int row) { entryRow_ = row; }

 protected:
  void changeEvent(QEvent* event) override;

  void addRows(const std::vector<PropertyRow>& rows);
  void addEntryEditor(const EntryEditorIds& ids);
  QCheckBox* addCheck(const char* label, int id);
  QVBoxLayout* pageLayout() const { return layout_; }
  // Sends a request filled in by the page.
  void send(PropertyRequest r);
  // Page-specific refreshing on top of the fields.
  virtual void refreshMore() {}

  const Document& doc_;
  bool filling_ = false;  // the page is filling its controls: no requests

 private:
  QWidget* makeControl(int id);
  void fillEntries();
  void showEntry();
  void listAction(ListAction action);

  PropertyTarget target_;
  PropertyRequest pending_;
  QVBoxLayout* layout_;
  QGridLayout* grid_;
  int gridRow_ = 0;
  std::map<int, QWidget*> controls_;
  std::map<int, QString> shown_;  // the text each edit was last filled with
  EntryEditorIds entryIds_{};
  bool hasEntries_ = false;
  EntryList activeList_ = EntryList::Params;
  int entryRow_ = -1;
};

// "線" (dialog 106), "点" (131) and "環境" (132).
PropertyPage* makeLinePage(const Document& doc);
PropertyPage* makePointPage(const Document& doc);
PropertyPage* makeEnvironmentPage(const Document& doc);

// Puts the three pages into the settings container and installs the window's answer to their
// requests next to the container's own codes.
void installPropertyPages(TMyWindow& w);

}  // namespace tovala
