#include "qtplatform/qt_ui.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace tovala {

void QtUi::message(std::string_view text, std::string_view caption) {
  QMessageBox::information(parent_, qstr(caption), qstr(text));
}

Answer QtUi::ask(std::string_view text, std::string_view caption, Buttons buttons) {
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  switch (buttons) {
    case Buttons::Ok: set = QMessageBox::Ok; break;
    case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
  }
  switch (QMessageBox::question(parent_, qstr(caption), qstr(text), set)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
  }
}

QString QtUi::qtFilter(const std::string& filter) {
  QStringList parts = qstr(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << QString("%1 (%2)").arg(parts[i], patterns);
  }
  return out.join(";;");
}

std::optional<std::string> QtUi::chooseFile(const FileRequest& request) {
  const QString filter = qtFilter(request.filter);
  QString path;
  if (request.save) {
    QFileDialog dialog(parent_, qstr(request.title), qstr(request.initialName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qstr(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    path = dialog.selectedFiles().first();
  } else {
    path = QFileDialog::getOpenFileName(parent_, qstr(request.title), qstr(request.initialName),
                                        filter);
  }
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace tovala
