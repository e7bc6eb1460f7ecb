#pragma once
// Answers the next modal dialog of type D: once it is the active modal widget, `act` fills it
// in and closes it. The returned flag tells the test whether the dialog came up at all.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

namespace tovala::test {

template <class D>
void pollModal(std::shared_ptr<bool> seen, std::function<void(D&)> act, int tries) {
  if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
    *seen = true;
    act(*d);
    // A failed check inside `act` returns early; the dialog must not stay open.
    if (d->isVisible()) d->reject();
    return;
  }
  if (tries > 0) QTimer::singleShot(5, [=] { pollModal<D>(seen, act, tries - 1); });
}

template <class D>
std::shared_ptr<bool> whenModal(std::function<void(D&)> act) {
  auto seen = std::make_shared<bool>(false);
  QTimer::singleShot(0, [=] { pollModal<D>(seen, act, 200); });
  return seen;
}

}  // namespace tovala::test
