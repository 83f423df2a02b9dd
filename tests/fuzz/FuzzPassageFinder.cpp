// libFuzzer entry for the passage finder: any text and query, cut into pieces of any size (pairs
// of surrogates split between pieces too), give the passage that the plain whole-text algorithm
// of the tests gives. Both are well-formed: Qt lowercases a lone surrogate of ill-formed UTF-16
// to U+FFFD or not depending on its neighbour, where the reference keeps it.
#include "FuzzInput.h"
#include "tests/support/ReferencePassage.h"

#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int before = data[0] % 64, after = data[1] % 64, largest = 1 + data[2] % 32;
    const QList<QByteArray> parts = fuzz::fields(data + 3, size - 3, 2);
    const QString query = QString::fromUtf8(parts[0]), text = QString::fromUtf8(parts[1]);
    PassageFinder finder(query, before, after);
    for (qsizetype at = 0, step = 1; at < text.size(); at += step, step = 1 + (at * 7) % largest) {
        if (!finder.feed(QStringView(text).sliced(at, std::min(step, text.size() - at)))) break;
    }
    if (test::shown(finder.finish()) != test::wholeTextPassage(text, query, before, after))
        std::abort();
    return 0;
}
