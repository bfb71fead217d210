#pragma once

#include "base/mdl_ErrorFunction.h"

#include <atomic>

// Lets the thread that started a long piece of work ask it to stop. The work looks at the token
// now and then and ends with RuntimeError UserInterrupt, leaving its partial result unused.
class CancelToken {
public:
    void cancel() { m_isCancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_isCancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_isCancelled{false};
};

// Throws RuntimeError UserInterrupt when the token (if any) was cancelled.
inline void ThrowIfCancelled(const CancelToken *cancel)
{
    if (cancel && cancel->isCancelled())
        throw RuntimeError(ErrorNumber::UserInterrupt);
}
