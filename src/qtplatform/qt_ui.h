#pragma once
// The editor's Ui: real message boxes and file dialogs, parented to the main window.

#include <QString>

#include "platform/ui.h"

class QWidget;

namespace tovala {

class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void message(std::string_view text, std::string_view caption) override;
  Answer ask(std::string_view text, std::string_view caption, Buttons buttons) override;
  std::optional<std::string> chooseFile(const FileRequest& request) override;

  // "BMPファイル|*.bmp|すべてのファイル|*.*||" -> "BMPファイル (*.bmp);;すべてのファイル (*.*)"
  static QString qtFilter(const std::string& filter);

 private:
  QWidget* parent_;
};

inline QString qstr(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace tovala
