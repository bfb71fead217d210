#pragma once

#include "app/mdl_All.h"
#include "ui/Frm_Item_FromIniFile.h"

#include <QFile>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A settings file in a temporary folder, loaded into Settings the way start-up loads it, and a
// palette built from it against a 1024 x 768 screen.
struct PaletteFixture {
    static inline const QRect Screen{0, 0, 1024, 768};
    static inline const QString Colors = QStringLiteral(
        "<Base>E8F0F8</Base><Title>204060</Title><Label>0000C0</Label><Back>C0D8F0</Back>");

    QTemporaryDir dir;
    std::unique_ptr<Frm_Item_FromIniFile> window;

    // Item{i} elements are written for the given names in order, each with its own body.
    static QString Item(int number, const QString &body)
    {
        return QStringLiteral("<Item%1>%2</Item%1>").arg(number).arg(body);
    }

    bool write(const QString &dataSetting, const QString &colorSetting = Colors)
    {
        QFile file(dir.filePath(QStringLiteral("tavrelo.xml")));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<myItem>\n"
                                            "<ColorSetting>%1</ColorSetting>\n<DataSetting>%2</DataSetting>\n"
                                            "</myItem>\n")
                                 .arg(colorSetting, dataSetting);
        return file.write(text.toUtf8()) > 0;
    }

    void load()
    {
        AppPath = dir.path();
        ExeName = QStringLiteral("tavrelo");
        LoadSettings();
        window = std::make_unique<Frm_Item_FromIniFile>();
        window->SetScreenGeometry(Screen);
        window->Form_Load();
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

    QStringList visibleButtonTags() const
    {
        QStringList tags;
        for (int i = 0;; ++i) {
            QWidget *button = control(QStringLiteral("Lbl_Button_%1").arg(i));
            if (!button || !button->isVisibleTo(window.get()))
                break;
            tags << button->property("tag").toString();
        }
        return tags;
    }
};
