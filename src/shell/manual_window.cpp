#include "shell/manual_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace tovala {

namespace {

// Two code blocks in a row would run together on screen: a paragraph holding one no-break space
// goes between them.
QString separateCodeBlocks(const QString& markdown) {
  const QStringList lines = markdown.split(QLatin1Char('\n'));
  QStringList out;
  bool inFence = false;
  int lastClose = -1;  // index in `out` of the last closing fence
  for (const QString& line : lines) {
    const bool fence = line.trimmed().startsWith(QLatin1String("```"));
    if (fence && !inFence && lastClose >= 0) {
      bool onlyBlank = true;
      for (qsizetype i = lastClose + 1; i < out.size(); ++i)
        onlyBlank = onlyBlank && out[i].trimmed().isEmpty();
      if (onlyBlank) out << QString() << QStringLiteral("&nbsp;") << QString();
    }
    out << line;
    if (fence) {
      if (inFence) lastClose = int(out.size()) - 1;
      inFence = !inFence;
    }
  }
  return out.join(QLatin1Char('\n'));
}

// Code blocks on a light grey ground, as the reader expects examples to look.
void shadeCodeBlocks(QTextDocument* document) {
  QTextCursor cursor(document);
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    if (!b.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) continue;
    QTextBlockFormat f = b.blockFormat();
    f.setBackground(QColor(0xF0, 0xF0, 0xF0));
    cursor.setPosition(b.position());
    cursor.setBlockFormat(f);
  }
}

// The anchor a heading gets, as web pages showing the same Markdown name it: lower case, spaces
// as hyphens, punctuation dropped ("接続線 (CLine)" -> "接続線-cline"), so links written as
// "posing.md#接続線-cline" work in both.
QString headingAnchor(const QString& heading) {
  QString out;
  for (const QChar c : heading.trimmed().toLower()) {
    if (c == QLatin1Char(' '))
      out += QLatin1Char('-');
    else if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('-') || c == QLatin1Char('_'))
      out += c;
  }
  return out;
}

void nameHeadings(QTextDocument* document) {
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    if (b.blockFormat().headingLevel() == 0) continue;
    QTextCursor cursor(b);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setAnchor(true);
    f.setAnchorNames({headingAnchor(b.text())});
    cursor.mergeCharFormat(f);
  }
}

class ManualBrowser : public QTextBrowser {
 public:
  QVariant loadResource(int type, const QUrl& name) override {
    const QVariant data = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::MarkdownResource || !data.isValid()) return data;
    return separateCodeBlocks(QString::fromUtf8(data.toByteArray()));
  }
};

}  // namespace

ManualWindow::ManualWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(kObjectName);
  setWindowTitle(QString::fromUtf8("マニュアル - トヴァラ"));
  browser_ = new ManualBrowser;
  // Links between chapters load the next page in place; anything outside the manual is ignored.
  browser_->setOpenExternalLinks(false);
  browser_->setSearchPaths({QStringLiteral(":/manual")});
  connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
    shadeCodeBlocks(browser_->document());
    nameHeadings(browser_->document());
    // The page was laid out before its headings had names.
    if (url.hasFragment()) browser_->scrollToAnchor(url.fragment());
  });

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
  showIndex();
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
