#pragma once
// The OK and "ｷｬﾝｾﾙ" row every small modal dialog ends with.

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>

namespace tovala {

inline QDialogButtonBox* addOkCancel(QDialog* dialog, QBoxLayout* layout) {
  auto* box = new QDialogButtonBox;
  box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  box->addButton(QString::fromUtf8("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(box);
  return box;
}

}  // namespace tovala
