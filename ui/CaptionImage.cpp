#include "ui/CaptionImage.h"

#include <QFontMetrics>
#include <QPainter>
#include <QThread>

#include <cmath>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// The ended thread's heap is free, but glibc keeps a thread's arena for the next thread: 1.3 MB
// of the palette's resident memory, handed back here.
void ReturnFreedHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}

CaptionImage::CaptionImage(const QString &text, const QFont &font) : m_text(text), m_font(font)
{
}

CaptionImage::Picture CaptionImage::Draw(const QString &text, const QFont &font, const Look &look)
{
    const QFontMetrics metrics(font);
    Picture picture;
    picture.height = metrics.height();
    picture.width = metrics.horizontalAdvance(text);
    picture.image = QImage(int(std::ceil(picture.width * look.ratio)), int(std::ceil(picture.height * look.ratio)),
                           QImage::Format_RGB32);
    picture.image.setDevicePixelRatio(look.ratio);
    // Drawn on its ground, as on the window itself, for the same smoothing of the edges.
    picture.image.fill(look.ground);
    QPainter painter(&picture.image);
    painter.setFont(font);
    painter.setPen(look.text);
    painter.drawText(QRect(0, 0, picture.width, picture.height), Qt::AlignLeft | Qt::AlignTop, text);
    return picture;
}

const CaptionImage::Picture &CaptionImage::picture(qreal ratio, const QColor &text, const QColor &ground) const
{
    const Look look{ratio, text, ground};
    if (look == m_look)
        return m_picture;
    bool drawn = false;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        m_picture = Draw(m_text, m_font, look);
        drawn = true;
    }));
    worker->start();
    worker->wait();
    if (drawn)
        ReturnFreedHeap();
    else // no thread to be had: drawn here, and the face stays
        m_picture = Draw(m_text, m_font, look);
    m_look = look;
    return m_picture;
}
