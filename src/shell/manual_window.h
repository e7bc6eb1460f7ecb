#pragma once
// The user manual (docs/manual, built into the program as Qt resources under ":/manual") in a
// browser window: the index first, chapter links followed in place, back and forward.

#include <QWidget>

class QTextBrowser;

namespace tovala {

class ManualWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kObjectName = "manual";
  static constexpr const char* kIndex = "qrc:/manual/README.md";

  explicit ManualWindow(QWidget* owner);
  QTextBrowser* browser() const { return browser_; }
  // Back to the index page.
  void showIndex();

 private:
  QTextBrowser* browser_;
};

// Shows the manual window beside `owner`, making it on first use and raising it afterwards.
ManualWindow* showManual(QWidget* owner);

}  // namespace tovala
