#pragma once
// The OK and "キャンセル" row every small modal dialog ends with (full-width, as every button of
// the editor reads).

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>

namespace tovala {

inline QDialogButtonBox* addOkCancel(QDialog* dialog, QBoxLayout* layout) {
  auto* box = new QDialogButtonBox;
  box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  box->addButton(QString::fromUtf8("キャンセル"), QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(box);
  return box;
}

}  // namespace tovala
