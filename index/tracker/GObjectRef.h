#pragma once

#include <glib-object.h>

#include <utility>

namespace tarnwick {

// Owns one reference to a GObject (any type derived from it), so that every early return and
// every copy handed to a callback or a worker thread keeps the count right.
template <typename T>
class GObjectRef {
public:
    GObjectRef() = default;
    // Takes over a reference the caller already owns (what *_new and *_finish calls return).
    static GObjectRef adopt(T* object) {
        GObjectRef ref;
        ref.m_object = object;
        return ref;
    }
    // Adds a reference of its own.
    static GObjectRef share(T* object) {
        if (object) g_object_ref(object);
        return adopt(object);
    }

    GObjectRef(const GObjectRef& other) : m_object(other.m_object) {
        if (m_object) g_object_ref(m_object);
    }
    GObjectRef(GObjectRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    GObjectRef& operator=(GObjectRef other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~GObjectRef() {
        if (m_object) g_object_unref(m_object);
    }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

}  // namespace tarnwick
