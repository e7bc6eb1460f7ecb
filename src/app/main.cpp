// The editor's entry point: one window; a project named on the command line is opened at once.

#include <QApplication>
#include <QSettings>
#include <QStringList>

#include "qtplatform/japanese.h"
#include "shell/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tovala");
  if (!tovala::installJapanese(app)) qWarning("Qt's Japanese translations (qtbase_ja) not found");
  tovala::TMyWindow window;
  window.show();
  QSettings settings("tovala", "tovala");  // ~/.config/tovala/tovala.conf: where the panels stood
  window.keepPanelsIn(&settings);
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    window.paths().project = args.at(1).toStdString();
    window.openProject(args.at(1).toStdString());
  }
  return QApplication::exec();
}
