#pragma once

#include "RecordingPresenter.h"
#include "app/mdl_API_Shell32.h"
#include "app/mdl_All.h"
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

    static QString Item(int number, const QString &body)
    {
        return QStringLiteral("<Item%1>%2</Item%1>").arg(number).arg(body);
    }
    static QString Named(int number, const QString &name) { return Item(number, "<Name>" + name + "</Name><Data>x</Data>"); }
    QString file() const { return dir.filePath(QStringLiteral("tavrelo.xml")); }

    bool write(const QString &data, const QString &colors = Colors) const
    {
        QFile out(file());
        return out.open(QIODevice::WriteOnly)
               && out.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<myItem><ColorSetting>%1"
                                           "</ColorSetting><DataSetting>%2</DataSetting></myItem>\n")
                                .arg(colors, data).toUtf8()) > 0;
    }

    void load(const QRect &screen = QRect(0, 0, 1024, 768))
    {
        window.reset();
        AppPath = dir.path();
        ExeName = QStringLiteral("tavrelo");
        LoadSettings();
        window = std::make_unique<Window>();
        window->SetScreenGeometry(screen);
        window->Form_Load();
    }

    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    template <typename T = QWidget>
    T *control(const QString &name) const { return window->findChild<T *>(name); }
};

// Answers every request with a fixed shell result (a negative one throws, as a failing call
// would) and remembers what it was asked.
class RecordingOpener : public LinkOpener {
public:
    explicit RecordingOpener(qint32 result = 42) : m_result(result) { SetLinkOpener(this); }
    ~RecordingOpener() override { SetLinkOpener(nullptr); }
    qint32 open(quintptr hWnd, const QString &target) override
    {
        calls.append({hWnd, target});
        if (m_result < 0)
            throw RuntimeError(ErrorNumber::OutOfMemory);
        return m_result;
    }
    QList<QPair<quintptr, QString>> calls;

private:
    qint32 m_result;
};
