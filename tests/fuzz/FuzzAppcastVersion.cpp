// libFuzzer entry for version comparison: whatever three texts parse as versions read back as
// themselves and order consistently (reflexive, antisymmetric, transitive, equals alike).
#include "FuzzInput.h"
#include "app/AppcastVersion.h"

#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<AppcastVersion> versions;
    for (const QByteArray& text : fuzz::fields(data, size, 3)) {
        const std::optional<AppcastVersion> version =
            AppcastVersion::parse(QString::fromUtf8(text));
        if (!version) continue;
        const std::optional<AppcastVersion> again = AppcastVersion::parse(version->text());
        if (!again || *again != *version || again->text() != version->text()) std::abort();
        versions.push_back(*version);
    }
    for (const AppcastVersion& a : versions)
        for (const AppcastVersion& b : versions) {
            if ((a <=> a) != 0 || (a <=> b) != (0 <=> (b <=> a))) std::abort();
            for (const AppcastVersion& c : versions)
                if ((a <= b && b <= c && !(a <= c)) || (a == b && (a <=> c) != (b <=> c)))
                    std::abort();
        }
    return 0;
}
