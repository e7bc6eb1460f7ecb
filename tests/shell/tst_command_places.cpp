// A command declares its own menu place: the menus put it there, after the item it names, in a
// chain of such items in declared order, at the top of its popup, or in a popup made for it;
// and a new command of a part of the editor reaches the window's menus from its declaration
// alone.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "shell/command_rules.h"
#include "shell/menus.h"
#include "menu_text.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;
using tovala::test::flattenMenu;
using tovala::test::flattenMenuBar;

namespace {

int ran = 0;
void count(TMyWindow&) { ++ran; }

Command declared(int id, MenuPlace place) {
  Command c{id, "", count};
  c.menu = place;
  return c;
}

}  // namespace

class TestCommandPlaces : public QObject {
  Q_OBJECT

 private slots:
  void placesFollowTheDeclarations() {
    const std::vector<MenuNode> tree{
        {"A", 0, {{"one", 40001, {}}, {"two", 40002, {}}, {"sub", 0, {{"three", 40003, {}}}}}},
        {"B", 0, {{"four", 40004, {}}}},
    };
    CommandTable table;
    // Declared in an order (and with identifiers) unlike their places: a chain after "one".
    table.set(declared(40140, {"chain2", "A", 40150}));
    table.set(declared(40150, {"chain1", "A", 40001}));
    table.set(declared(40160, {"top", "B", kMenuTop}));
    table.set(declared(40170, {"end", "A/sub", 0, true}));
    table.set(declared(40180, {"new", "C/deep"}));
    table.set(declared(40190, {"orphan", "B", 40099}));  // its anchor is no item: at the end
    table.set({40200, "", count});                       // no place: no item

    QMenuBar bar;
    std::vector<int> triggered;
    auto trigger = [&](int id) { triggered.push_back(id); };
    auto update = [](QAction*, int) {};
    buildMenuBar(&bar, tree, trigger, update);
    placeDeclaredCommands(&bar, table, trigger, update);
    QCOMPARE(flattenMenuBar(bar).join("|"),
             QString("A>|one(40001)|chain1(40150)|chain2(40140)|two(40002)|sub>|three(40003)|-|"
                     "end(40170)|<|<|B>|top(40160)|four(40004)|orphan(40190)|<|"
                     "C>|deep>|new(40180)|<|<"));
    for (QAction* a : commandActions(&bar))
      if (a->data().toInt() == 40150) a->trigger();
    QCOMPARE(triggered, std::vector<int>{40150});
  }

  // A command set by a part of the editor after the table is built, as a panel's install does,
  // stands in the window's menu with its shortcut and runs its handler.
  void aPartsCommandReachesTheWindowsMenus() {
    WindowFixture f;
    QAction* saveAs = nullptr;
    QStringList save;
    for (QAction* top : f.window->menuBar()->actions()) {
      if (top->text() != QString::fromUtf8("ファイル")) continue;
      for (QAction* a : top->menu()->actions())
        if (a->menu() && a->text() == QString::fromUtf8("保存")) flattenMenu(a->menu(), save);
    }
    for (QAction* a : commandActions(f.window->menuBar()))
      if (a->data().toInt() == kCommandSaveAs) saveAs = a;
    QVERIFY(saveAs);
    QCOMPARE(saveAs->text(), QString::fromUtf8("名前を付けて保存"));
    QCOMPARE(saveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QVERIFY(save.indexOf(QString::fromUtf8("名前を付けて保存(%1)").arg(kCommandSaveAs)) ==
            save.indexOf(QString::fromUtf8("普通保存(40030)")) + 1);
  }
};

QTEST_MAIN(TestCommandPlaces)
#include "tst_command_places.moc"
