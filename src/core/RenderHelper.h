#pragma once

#include <functional>

// A second thread a render may hand work to, beside its own: the frequency
// curve's values and the cheap phase steps, while the render's thread keeps
// the phase chain, which cannot be split. Only live previews use one; a
// render gives the same bytes with or without.
class RenderHelper {
public:
    virtual ~RenderHelper() = default;
    // Runs `work` on the helper's thread; wait() returns once it is done.
    virtual void start(std::function<void()> work) = 0;
    virtual void wait() = 0;
};
