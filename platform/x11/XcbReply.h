#pragma once

#include <cstdlib>
#include <memory>

namespace tarnwick {

// A reply xcb allocated with malloc, freed with it.
struct XcbFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

}  // namespace tarnwick
