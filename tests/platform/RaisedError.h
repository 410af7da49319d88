#pragma once
// The runtime error number a call raises, 0 when it raises none.

#include "runtime/RuntimeError.h"

template <typename Call>
int raisedError(Call&& call)
{
    try {
        call();
    } catch (const runtime::RuntimeError& error) {
        return error.number();
    }
    return 0;
}
