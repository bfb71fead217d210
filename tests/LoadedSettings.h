#pragma once

#include "settings/Cls_MySettingFile.h"

#include <QFile>
#include <QTemporaryDir>

// A settings object loaded from the given file bytes, kept in its own temporary folder.
struct LoadedSettings {
    explicit LoadedSettings(const QByteArray &bytes)
    {
        QFile file(dir.filePath(QStringLiteral("tavrelo.xml")));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        settings.Path(dir.path());
        settings.Name(QStringLiteral("tavrelo.xml"));
        loaded = settings.LoadFile();
    }
    explicit LoadedSettings(const QString &text) : LoadedSettings(text.toUtf8()) { }

    QTemporaryDir dir;
    Cls_MySettingFile settings;
    bool loaded = false;
};
