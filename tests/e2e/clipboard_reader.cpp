// A stand-in for a clipboard manager: it reads every new clipboard at once, as such managers do,
// and counts its reads in the file given.
// Usage: clipboard_reader FILE
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    int reads = 0;
    QClipboard *clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::changed, [&](QClipboard::Mode mode) {
        if (mode != QClipboard::Clipboard || clipboard->ownsClipboard())
            return;
        const QMimeData *data = clipboard->mimeData(mode);
        if (!data || data->text().isNull())
            return;
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::number(++reads) + '\n');
    });
    return application.exec();
}
