#pragma once
#include <QtTest>

// QFETCH as an expression, for values used once.
template <typename T>
const T& fetched(const char* name) {
  return *static_cast<const T*>(QTest::qData(name, qMetaTypeId<T>()));
}
