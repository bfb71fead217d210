#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

// How the palette paints its widgets.

// A colour as the design writes it: RRGGBB.
inline QColor RgbColor(unsigned rrggbb)
{
    return QColor::fromRgb(QRgb(rrggbb));
}

inline void SetColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

inline void SetPointSize(QWidget *widget, double points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}
