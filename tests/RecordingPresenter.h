#pragma once

#include "base/mdl_ErrorFunction.h"

#include <QList>
#include <QString>

// Records the boxes that would have been shown, answers OK, and uninstalls itself on destruction.
class RecordingPresenter : public MessagePresenter {
public:
    struct Box {
        qint32 style;
        QString prompt;
        QString title;
    };

    RecordingPresenter() { SetMessagePresenter(this); }
    ~RecordingPresenter() override { SetMessagePresenter(nullptr); }

    qint16 show(qint32 style, const QString &prompt, const QString &title) override
    {
        boxes.append({style, prompt, title});
        return MsgBox::Ok;
    }

    QList<Box> boxes;
};
