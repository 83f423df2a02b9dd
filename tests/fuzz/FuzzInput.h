#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

namespace tarnwick::fuzz {

// A fuzz input cut into `count` fields at NUL bytes, the last holding the rest; missing ones empty.
inline QList<QByteArray> fields(const uint8_t* data, size_t size, int count) {
    QList<QByteArray> out;
    const QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype at = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype end = i + 1 < count ? all.indexOf('\0', at) : -1;
        out.append(end < 0 ? all.mid(at) : all.mid(at, end - at));
        at = end < 0 ? all.size() : end + 1;
    }
    return out;
}

}  // namespace tarnwick::fuzz
