#pragma once

#include <QTest>
#include <tuple>

// Designated initializers name only what a case sets; the rest keeps its default on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "tests/support/TestRunner.h"

namespace tarnwick::test {

// A table whose rows are tuples in one column, so that each row reads as one line of data.
template <typename Row>
void table(std::initializer_list<std::pair<const char*, Row>> rows) {
    QTest::addColumn<Row>("row");
    for (const auto& [name, row] : rows) QTest::newRow(name) << row;
}
template <typename Row>
const Row& row() {
    return *static_cast<const Row*>(QTest::qData("row", qMetaTypeId<Row>()));
}

}  // namespace tarnwick::test
