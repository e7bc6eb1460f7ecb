#pragma once
// One generated body model per test program, built on first use and shared by the read-only
// checks (building one takes a while in the sanitizer build). Copy it to change it.

#include "model/document.h"
#include "script/body_model.h"

namespace tovala::test {

inline const Document& sharedBodyModel() {
  static const Document* doc = [] {
    auto* d = new Document();
    createBodyModel(*d);
    return d;
  }();
  return *doc;
}

}  // namespace tovala::test
