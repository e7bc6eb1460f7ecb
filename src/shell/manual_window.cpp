#include "shell/manual_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tovala {

ManualWindow::ManualWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(kObjectName);
  setWindowTitle(QString::fromUtf8("マニュアル - トヴァラ"));
  browser_ = new QTextBrowser;
  // Links between chapters load the next page in place; anything outside the manual is ignored.
  browser_->setOpenExternalLinks(false);
  browser_->setSearchPaths({QStringLiteral(":/manual")});

  auto* back = new QPushButton(QString::fromUtf8("戻る"));
  auto* forward = new QPushButton(QString::fromUtf8("進む"));
  auto* index = new QPushButton(QString::fromUtf8("目次"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(index, &QPushButton::clicked, this, &ManualWindow::showIndex);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addWidget(index);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  resize(760, 820);
  browser_->setSource(QUrl(QString::fromLatin1(kIndex)), QTextDocument::MarkdownResource);
}

void ManualWindow::showIndex() {
  browser_->setSource(QUrl(QString::fromLatin1(kIndex)), QTextDocument::MarkdownResource);
}

ManualWindow* showManual(QWidget* owner) {
  auto* window =
      owner->findChild<ManualWindow*>(ManualWindow::kObjectName, Qt::FindDirectChildrenOnly);
  if (!window) {
    window = new ManualWindow(owner);
    window->move(owner->pos() + QPoint(40, 40));
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace tovala
