#pragma once
// The runtime error number an action raises, 0 when it raises none.

#include "runtime/RuntimeError.h"

#include <functional>

inline int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const runtime::RuntimeError& error) {
        return error.number();
    }
    return 0;
}
