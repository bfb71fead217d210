#include "RecordingOpener.h"
#include "RecordingPresenter.h"
#include "services/MessageBoxPresenter.h"
#include "services/mdl_API_Shell32.h"

#include <QLibrary>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <optional>

namespace {

// Wine's ntdll answers its own version; Windows' does not.
bool RunsUnderWine()
{
    return QLibrary(QStringLiteral("ntdll")).resolve("wine_get_version") != nullptr;
}

constexpr qint32 kDesktop = std::numeric_limits<qint32>::max(); // no recorded shell: the desktop's own

}

class TestServices : public QObject {
    Q_OBJECT

private slots:
    void shellExecuteOpen_data();
    void shellExecuteOpen();
    void messageBoxStyle_data();
    void messageBoxStyle();
};

void TestServices::shellExecuteOpen_data()
{
    QTest::addColumn<QString>("target"); // a relative path or "file:" URL lies in an empty temporary folder
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QString>("prompt");

    // Handed on untouched: no shell parses the target.
    const QString url = QStringLiteral("https://example.com/search?q=a b&x='1'\"; rm -rf ~");
    // Accepted; 0 is not "Out of memory", only 8 is; a failing call shows the error box. The
    // Windows lane checks the message of every code.
    const QMap<qint32, QString> rows{
        {33, QString()}, {0, "Unknown error"}, {8, "Out of memory"}, {-1, "7 Out of memory\r" + ApplicationTitle()}}; // -1 throws
    for (auto row = rows.begin(); row != rows.end(); ++row)
        QTest::addRow("%d", row.key()) << url << row.key() << row.value();
    QTest::newRow("missing file") << "missing.txt" << kDesktop << "File not found";
    QTest::newRow("missing file url") << "file:missing.txt" << kDesktop << "File not found";
    QTest::newRow("file url, folder missing") << "file:gone/missing.txt" << kDesktop << "Path not found";
    QTest::newRow("missing folder itself") << "gone/" << kDesktop << "Path not found";
}

void TestServices::shellExecuteOpen()
{
    QFETCH(QString, target);
    QFETCH(qint32, result);
    QFETCH(QString, prompt);
    if (result == kDesktop && prompt == QLatin1String("Path not found") && RunsUnderWine())
        QSKIP("wine's shell answers 2 (file not found) for a missing folder, where Windows answers 3");
    RecordingPresenter presenter;
    QTemporaryDir dir;
    std::optional<RecordingOpener> opener;
    if (result != kDesktop)
        opener.emplace(result);
    else if (target.startsWith(QLatin1String("file:")))
        target = QUrl::fromLocalFile(dir.filePath(target.mid(5))).toString();
    else
        target = dir.filePath(target);

    QCOMPARE(mdl_API_Shell32::ShellExecuteOpen(0x10010, target), prompt.isEmpty());
    if (opener)
        QCOMPARE(opener->calls, (QList<QPair<quintptr, QString>>{{0x10010, target}}));
    QCOMPARE(presenter.boxes.size(), prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty()) {
        QCOMPARE(presenter.boxes[0].prompt, prompt);
        QCOMPARE(presenter.boxes[0].style, result < 0 ? MsgBox::Critical : MsgBox::OkOnly);
        QCOMPARE(presenter.boxes[0].title, result < 0 ? QStringLiteral("VB Error") : ApplicationTitle());
    }
    QCOMPARE(CurrentError().number, 0);
}

void TestServices::messageBoxStyle_data()
{
    using B = QMessageBox;
    using Buttons = QList<B::StandardButton>;
    QTest::addColumn<qint32>("style");
    QTest::addColumn<B::Icon>("icon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<B::StandardButton>("defaultButton");

    QTest::newRow("0") << 0 << B::NoIcon << Buttons{B::Ok} << B::Ok;
    QTest::newRow("291 second default") << 291 << B::Question << Buttons{B::Yes, B::No, B::Cancel} << B::No;
    // The default beyond the buttons falls back to the first; the system-modal bit is ignored.
    QTest::newRow("4884") << 4884 << B::Critical << Buttons{B::Yes, B::No} << B::Yes;
}

void TestServices::messageBoxStyle()
{
    QFETCH(qint32, style);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QList<QMessageBox::StandardButton>, buttons);
    QFETCH(QMessageBox::StandardButton, defaultButton);
    QCOMPARE(MessageBoxPresenter::IconOfStyle(style), icon);
    QCOMPARE(MessageBoxPresenter::ButtonsOfStyle(style), buttons);
    QCOMPARE(MessageBoxPresenter::DefaultButtonOfStyle(style), defaultButton);
    // A lone CR breaks the line as CR LF does.
    QCOMPARE(MessageBoxPresenter::DisplayText("a\rb\r\nc\nd"), QStringLiteral("a\nb\nc\nd"));
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
