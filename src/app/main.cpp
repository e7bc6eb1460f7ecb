// The editor's entry point: one window; a project named on the command line is opened at once.
// --debug shows the debugging items of ヘルプ.

#include <QApplication>
#include <QSettings>
#include <QStringList>

#include "qtplatform/japanese.h"
#include "shell/autosave.h"
#include "shell/main_window.h"
#include "shell/window_chrome.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tovala");
  if (!tovala::installJapanese(app)) qWarning("Qt's Japanese translations (qtbase_ja) not found");
  tovala::TMyWindow window;
  window.show();
  QSettings settings("tovala", "tovala");  // ~/.config/tovala/tovala.conf: the layout, recent files
  window.keepPanelsIn(&settings);
  // A copy left by an editor that was killed is offered before anything else is opened.
  tovala::Autosave* autosave = tovala::installAutosave(window, &settings);
  const bool recovered = autosave->offerRecovery();
  QStringList args = QApplication::arguments();
  tovala::showDebugCommands(window, args.removeAll(QStringLiteral("--debug")) > 0);
  if (!recovered && args.size() > 1) {
    window.paths().project = args.at(1).toStdString();
    window.openProject(args.at(1).toStdString());
  }
  return QApplication::exec();
}
