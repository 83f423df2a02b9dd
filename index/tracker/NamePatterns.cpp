#include <glib.h>

#include "NamePatterns.h"

namespace tarnwick {

NamePatterns::NamePatterns(const QList<QByteArray>& patterns) {
    for (const QByteArray& pattern : patterns)
        m_specs.append(std::shared_ptr<GPatternSpec>(g_pattern_spec_new(pattern.constData()),
                                                     g_pattern_spec_free));
}

bool NamePatterns::matches(QByteArrayView name) const {
    // GLib wants a terminated string; names are short, so a copy is cheap.
    const QByteArray terminated = name.toByteArray();
    for (const auto& spec : m_specs)
        if (g_pattern_spec_match(spec.get(), terminated.size(), terminated.constData(), nullptr))
            return true;
    return false;
}

}  // namespace tarnwick
