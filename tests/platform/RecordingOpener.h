#pragma once

#include <QList>
#include "platform/FileOpener.h"

namespace tarnwick::test {

// Records what it was asked to open; answers with `refusal` when one is set.
struct RecordingOpener : FileOpener {
    std::optional<QString> open(const QByteArray& path) override {
        opened.append(path);
        return refusal;
    }
    QList<QByteArray> opened;
    std::optional<QString> refusal;
};

}  // namespace tarnwick::test
