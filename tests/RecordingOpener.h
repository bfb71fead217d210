#pragma once

#include "base/mdl_ErrorFunction.h"
#include "services/mdl_API_Shell32.h"

#include <QList>
#include <QPair>
#include <QString>

// Answers every request with a fixed shell result (a negative one throws, as a failing call
// would) and remembers what it was asked.
struct RecordingOpener : mdl_API_Shell32::LinkOpener {
    explicit RecordingOpener(qint32 result = 42) : result(result) { mdl_API_Shell32::SetLinkOpener(this); }
    ~RecordingOpener() override { mdl_API_Shell32::SetLinkOpener(nullptr); }
    qint32 open(quintptr hWnd, const QString &target) override
    {
        calls.append({hWnd, target});
        return result >= 0 ? result : throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    QList<QPair<quintptr, QString>> calls;
    const qint32 result;
};
