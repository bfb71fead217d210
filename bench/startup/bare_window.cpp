// The yardstick for the palette's start-up time and memory: the least a Qt Widgets program
// needs to show one window with one line of the same Japanese text.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("空白詰め＋先頭大文字化"));
    label.setWindowTitle(QStringLiteral("bare"));
    label.show();
    return app.exec();
}
