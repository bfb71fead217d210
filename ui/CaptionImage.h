#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <memory>

class QThread;

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
    ~CaptionImage();
    CaptionImage(const CaptionImage &) = delete;
    CaptionImage &operator=(const CaptionImage &) = delete;

    const QFont &font() const { return m_font; }
    // Starts drawing the picture of that look while the window is still being built, so that
    // the first paint finds it drawn on the other core.
    void prepare(qreal ratio, const QColor &text, const QColor &ground);
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
    void startDrawing(const Look &look) const;
    // Takes the picture of the drawing under way, if any.
    void finishDrawing() const;

    QString m_text;
    QFont m_font;
    mutable Look m_look;
    mutable Picture m_picture;
    // The drawing under way, of m_nextLook into m_nextPicture.
    mutable std::unique_ptr<QThread> m_worker;
    mutable Look m_nextLook;
    mutable Picture m_nextPicture;
    mutable bool m_isNextDrawn = false;
};
