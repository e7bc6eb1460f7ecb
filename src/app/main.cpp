// The editor's entry point: one window; a project named on the command line is opened at once.

#include <QApplication>
#include <QStringList>

#include "shell/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tovala");
  tovala::TMyWindow window;
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    window.paths().project = args.at(1).toStdString();
    window.openProject(args.at(1).toStdString());
  }
  return QApplication::exec();
}
