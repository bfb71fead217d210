// A text window of the end-to-end tests' own, where the user types: it writes its text to the
// file given whenever the text changes, so that a test can see what a paste brought.
// Usage: text_window FILE TITLE
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QPlainTextEdit editor;
    editor.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    editor.resize(400, 200);
    QObject::connect(&editor, &QPlainTextEdit::textChanged, [&] {
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(editor.toPlainText().toUtf8());
    });
    editor.show();
    return application.exec();
}
