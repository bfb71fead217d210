#pragma once

#include "RecordingPresenter.h"
#include "services/mdl_All.h"
#include "ui/Frm_Item_FromIniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A settings file in a temporary folder, loaded the way start-up loads it, and the palette built
// from it against a known screen.
struct PaletteFixture {
    static inline const QString Colors = QStringLiteral(
        "<Base>E8F0F8</Base><Title>204060</Title><Label>0000C0</Label><Back>C0D8F0</Back>");

    // QWidget::create() and destroy() are protected; a test rebuilds the native window.
    struct Window : Frm_Item_FromIniFile {
        using QWidget::create;
        using QWidget::destroy;
    };
    QTemporaryDir dir;
    std::unique_ptr<Window> window;
    QByteArray written; // the file as written, for tests that the palette leaves it alone

    static QString Item(int number, const QString &body) { return QStringLiteral("<Item%1>%2</Item%1>").arg(number).arg(body); }
    static QString Named(int number, const QString &name) { return Item(number, "<Name>" + name + "</Name><Data>x</Data>"); }
    QString file() const { return dir.filePath(QStringLiteral("tavrelo.xml")); }

    // Writes the file (none for null data) and builds the palette from it.
    bool load(const QString &data, const QString &colors = Colors, const QRect &screen = QRect(0, 0, 1024, 768))
    {
        written = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<myItem><ColorSetting>%1</ColorSetting>"
                                 "<DataSetting>%2</DataSetting></myItem>\n")
                      .arg(colors, data)
                      .toUtf8();
        QFile out(file());
        if (!data.isNull() && !(out.open(QIODevice::WriteOnly) && out.write(written) == written.size()))
            return false;
        out.close();
        window.reset();
        AppPath = dir.path();
        ExeName = QStringLiteral("tavrelo");
        LoadSettings();
        window = std::make_unique<Window>();
        window->SetScreenGeometry(screen);
        window->Form_Load();
        return true;
    }

    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    template <typename T = QWidget>
    T *control(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
};
