#pragma once

#include "tests/support/FakeMetadataQuery.h"

#include <QTest>

namespace tarnwick::test {

// The query an engine creates once its debounce has run out; null when none comes.
template <typename Engine>
FakeMetadataQuery* searchAndWait(Engine& engine, FakeMetadataIndex& index, const QString& text) {
    const qsizetype before = index.queryCount();
    engine.search(text);
    if (!QTest::qWaitFor([&] { return index.queryCount() > before; }, 2000)) return nullptr;
    return index.lastQuery();
}

}  // namespace tarnwick::test
