#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// A short text in a face that nothing else in the window uses, drawn on a thread of its own.
// Qt keeps each thread's faces and glyphs until the thread ends: on the window's thread, the
// frame's bold Japanese serif face would hold 3 MB (its file's pages, the parsed outlines and
// layout tables) for the four glyphs of one caption, a tenth of the palette's memory.
class CaptionImage {
public:
    struct Picture {
        QImage image;
        int height = 0; // the font's line height, in device-independent pixels
        int width = 0; // the text's advance
    };

    CaptionImage(const QString &text, const QFont &font);

    const QFont &font() const { return m_font; }
    // The text in the text colour on the ground colour, for a device of that pixel ratio; drawn
    // again only when one of them has changed.
    const Picture &picture(qreal ratio, const QColor &text, const QColor &ground) const;

private:
    struct Look {
        qreal ratio = 0;
        QColor text;
        QColor ground;
        bool operator==(const Look &) const = default;
    };

    static Picture Draw(const QString &text, const QFont &font, const Look &look);

    QString m_text;
    QFont m_font;
    mutable Look m_look;
    mutable Picture m_picture;
};
