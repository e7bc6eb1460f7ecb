// Qt's own dialogs in Japanese whatever the system's locale: the message box the editor's
// questions use, and the file, colour and font choosers, with Qt's translated texts.

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "modal_helper.h"
#include "qtplatform/japanese.h"
#include "qtplatform/qt_ui.h"

using namespace tovala;

namespace {

QStringList buttonTexts(const QList<QAbstractButton*>& buttons) {
  QStringList texts;
  for (const QAbstractButton* b : buttons) texts << b->text();
  texts.sort();
  return texts;
}

}  // namespace

class TstJapanese : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Stands for a system set to English: the editor must not follow it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(installJapanese(*QCoreApplication::instance()));
  }

  void localeIsJapanese() {
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QCOMPARE(QLocale().territory(), QLocale::Japan);
    // Numbers the panels show and read keep the decimal point.
    QCOMPARE(QLocale().toString(1.5, 'f', 1), QStringLiteral("1.5"));
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
  }

  // The editor's yes/no/cancel question, answered through its Japanese buttons.
  void questionButtonsAreJapanese() {
    QWidget owner;
    QtUi ui(&owner);
    QStringList seen;
    auto shown = test::whenModal<QMessageBox>([&seen](QMessageBox& box) {
      seen = buttonTexts(box.buttons());
      if (QAbstractButton* no = box.button(QMessageBox::No)) no->click();
    });
    const Answer answer = ui.ask("変更を保存しますか?", "確認", Buttons::YesNoCancel);
    QVERIFY(*shown);
    QCOMPARE(seen, QStringList({"いいえ(&N)", "はい(&Y)", "キャンセル"}));
    QCOMPARE(answer, Answer::No);
  }

  void choosersAreJapanese() {
    QFileDialog open;
    QCOMPARE(open.windowTitle(), QStringLiteral("開く"));
    auto* box = open.findChild<QDialogButtonBox*>();
    QVERIFY(box);
    QCOMPARE(buttonTexts(box->buttons()), QStringList({"キャンセル", "開く(&O)"}));
    QFileDialog save;
    save.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(save.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->text(),
             QStringLiteral("保存(&S)"));

    QColorDialog colour;
    QCOMPARE(colour.windowTitle(), QStringLiteral("色を選択"));
    QFontDialog font;
    QCOMPARE(font.windowTitle(), QStringLiteral("フォントの選択"));
    QCOMPARE(font.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("キャンセル"));
  }
};

QTEST_MAIN(TstJapanese)
#include "tst_japanese.moc"
