#pragma once

#include "RecordingPresenter.h"

#include <QList>

#include <functional>
#include <thread>

// The window's side of a rewrite on a worker thread: while `work` runs there (and traps, records
// and clears errors of its own), this thread shows 2000 boxes of its own trapped Overflow error.
// Returns the boxes shown, for the caller to check that each tells this thread's error.
inline QList<RecordingPresenter::Box> BoxesBesideWorker(const std::function<void()> &work)
{
    RecordingPresenter boxes;
    std::thread worker(work);
    for (int i = 0; i < 2000; ++i) {
        try {
            throw RuntimeError(ErrorNumber::Overflow);
        } catch (...) {
            ShowTrappedError();
        }
    }
    worker.join();
    return boxes.boxes;
}
