#pragma once

#include "zindle/zindle.h"

#include <string>
#include <utility>

// The outcome of one library call on its way back to C: a ZINDLE_* code and,
// on failure, the reason written into the caller's error buffer.
struct Status {
    int code = ZINDLE_OK;
    std::string reason;

    bool ok() const { return code == ZINDLE_OK; }
    static Status failure(int code, std::string reason) { return Status{code, std::move(reason)}; }
};
