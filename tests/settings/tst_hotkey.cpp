#include "LoadedSettings.h"
#include "settings/Hotkey.h"

#include <QtTest>

// Global keys as the settings file writes them, and which of them the palette takes.
class TestHotkey : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void plan();
    void assignmentsFromTheFile();
};

void TestHotkey::read_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("text"); // as the palette shows it; empty for no key
    QTest::addColumn<HotkeyFault>("fault");

    using F = HotkeyFault;
    QTest::newRow("the example") << "Ctrl+Alt+1"
                                 << "Ctrl+Alt+1" << F::None;
    QTest::newRow("modifiers in any order and case") << "alt+CTRL+shift+z"
                                                     << "Ctrl+Alt+Shift+Z" << F::None;
    QTest::newRow("Control") << "Control+Q"
                             << "Ctrl+Q" << F::None;
    QTest::newRow("Meta") << "Meta+E"
                          << "Meta+E" << F::None;
    QTest::newRow("Win") << "Win+E"
                         << "Meta+E" << F::None;
    QTest::newRow("Super") << "super+e"
                           << "Meta+E" << F::None;
    QTest::newRow("blanks around the parts") << "  Ctrl + Alt + 9 "
                                             << "Ctrl+Alt+9" << F::None;
    QTest::newRow("F1") << "Ctrl+F1"
                        << "Ctrl+F1" << F::None;
    QTest::newRow("F24") << "Shift+f24"
                         << "Shift+F24" << F::None;
    QTest::newRow("an F key alone") << "F9"
                                    << "F9" << F::None;
    QTest::newRow("Pause alone") << "Pause"
                                 << "Pause" << F::None;
    QTest::newRow("Insert") << "Ctrl+Insert"
                            << "Ctrl+Insert" << F::None;
    QTest::newRow("Ins") << "Ctrl+Ins"
                         << "Ctrl+Insert" << F::None;
    QTest::newRow("Home") << "Alt+Home"
                          << "Alt+Home" << F::None;
    QTest::newRow("PgDown") << "Ctrl+PgDown"
                            << "Ctrl+PageDown" << F::None;
    QTest::newRow("Space") << "Ctrl+Space"
                           << "Ctrl+Space" << F::None;
    QTest::newRow("Esc") << "Ctrl+Alt+Esc"
                         << "Ctrl+Alt+Escape" << F::None;
    QTest::newRow("empty") << ""
                           << "" << F::None;
    QTest::newRow("blanks") << " \t "
                            << "" << F::None;
    QTest::newRow("a letter alone") << "A"
                                    << "" << F::NoModifier;
    QTest::newRow("Shift and a letter types a capital") << "Shift+A"
                                                        << "" << F::NoModifier;
    QTest::newRow("Insert alone") << "Insert"
                                  << "" << F::NoModifier;
    QTest::newRow("junk") << "Ctrl+Alt+?"
                          << "" << F::Unreadable;
    QTest::newRow("unknown name") << "Ctrl+Hyper+1"
                                  << "" << F::Unreadable;
    QTest::newRow("two keys") << "Ctrl+A+B"
                              << "" << F::Unreadable;
    QTest::newRow("key before modifier") << "A+Ctrl"
                                         << "" << F::Unreadable;
    QTest::newRow("modifiers only") << "Ctrl+Alt"
                                    << "" << F::Unreadable;
    QTest::newRow("trailing plus") << "Ctrl+"
                                   << "" << F::Unreadable;
    QTest::newRow("F0") << "Ctrl+F0"
                        << "" << F::Unreadable;
    QTest::newRow("F25") << "Ctrl+F25"
                         << "" << F::Unreadable;
    QTest::newRow("F01") << "Ctrl+F01"
                         << "" << F::Unreadable;
    QTest::newRow("full-width digit") << "Ctrl+Alt+１"
                                      << "" << F::Unreadable;
    QTest::newRow("a sequence of two chords") << "Ctrl+K, Ctrl+C"
                                              << "" << F::Unreadable;
}

void TestHotkey::read()
{
    QFETCH(QString, written);
    QFETCH(QString, text);
    QFETCH(HotkeyFault, fault);
    const HotkeyReading reading = ReadHotkey(written);
    QCOMPARE(reading.fault, fault);
    QCOMPARE(reading.key.has_value(), !text.isEmpty());
    if (reading.key) {
        QCOMPARE(reading.key->text(), text);
        // What the palette shows reads back as the same key.
        QCOMPARE(ReadHotkey(text).key, reading.key);
    }
}

// The first of two equal keys wins, however they are written; unreadable and empty ones take no
// key from the others.
void TestHotkey::plan()
{
    using T = HotkeyAssignment::Target;
    const HotkeyPlan plan = PlanHotkeys({{T::Item, 0, QStringLiteral("Ctrl+Alt+1"), {}},
                                         {T::Item, 2, QStringLiteral(""), {}},
                                         {T::Item, 3, QStringLiteral("ctrl+alt+1"), {}},
                                         {T::Item, 4, QStringLiteral("Ctrl+Alt+!"), {}},
                                         {T::Item, 5, QStringLiteral("B"), {}},
                                         {T::Join, -1, QStringLiteral("Alt+Ctrl+1"), {}},
                                         {T::Palette, -1, QStringLiteral("Win+P"), {}}});
    QCOMPARE(plan.keys.size(), 2);
    QCOMPARE(plan.keys[0].item, 0);
    QCOMPARE(plan.keys[0].key.text(), QStringLiteral("Ctrl+Alt+1"));
    QCOMPARE(plan.keys[1].target, T::Palette);
    QCOMPARE(plan.keys[1].key.text(), QStringLiteral("Meta+P"));

    QCOMPARE(plan.refusals.size(), 4);
    QCOMPARE(plan.refusals[0].reason, HotkeyRefusal::Reason::Duplicate);
    QCOMPARE(plan.refusals[0].assignment.item, 3);
    QCOMPARE(plan.refusals[0].first.item, 0);
    QCOMPARE(plan.refusals[1].reason, HotkeyRefusal::Reason::Unreadable);
    QCOMPARE(plan.refusals[1].assignment.item, 4);
    QCOMPARE(plan.refusals[2].reason, HotkeyRefusal::Reason::NoModifier);
    QCOMPARE(plan.refusals[3].reason, HotkeyRefusal::Reason::Duplicate);
    QCOMPARE(plan.refusals[3].assignment.target, T::Join);
}

// Only a button has a key; the section's own keys come after the buttons'.
void TestHotkey::assignmentsFromTheFile()
{
    LoadedSettings s(QStringLiteral("<myItem><DataSetting><PaletteKey>Ctrl+Alt+P</PaletteKey><JoinKey>Ctrl+Alt+J</JoinKey>"
                                    "<Item1><Name>a</Name><Data>x</Data><Key>Ctrl+Alt+1</Key><Paste>TRUE</Paste></Item1>"
                                    "<Item2><Data>no button</Data><Key>Ctrl+Alt+2</Key></Item2>"
                                    "<Item3><Name>c</Name><Reg>c</Reg><Restore>true</Restore><Paste>yes</Paste></Item3>"
                                    "</DataSetting></myItem>"));
    QVERIFY(s.loaded);
    const QList<ButtonItem> buttons = s.settings.ButtonItems();
    QCOMPARE(buttons.size(), 2);
    QCOMPARE(buttons[0].key, QStringLiteral("Ctrl+Alt+1"));
    QVERIFY(buttons[0].isPaste);
    QVERIFY(!buttons[0].isRestore);
    QCOMPARE(buttons[1].key, QString());
    QVERIFY(!buttons[1].isPaste);
    QVERIFY(buttons[1].isRestore);

    const QList<HotkeyAssignment> keys = s.settings.HotkeyAssignments(buttons);
    QCOMPARE(keys.size(), 4);
    QCOMPARE(keys[0].item, 0);
    QCOMPARE(keys[1].item, 2);
    QCOMPARE(keys[1].written, QString());
    QCOMPARE(keys[2].target, HotkeyAssignment::Target::Join);
    QCOMPARE(keys[2].written, QStringLiteral("Ctrl+Alt+J"));
    QCOMPARE(keys[3].target, HotkeyAssignment::Target::Palette);
    QCOMPARE(keys[3].written, QStringLiteral("Ctrl+Alt+P"));
}

QTEST_GUILESS_MAIN(TestHotkey)
#include "tst_hotkey.moc"
