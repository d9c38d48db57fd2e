// The date picker driven as a user would: its grid, caption, clamp, clicks and Cancel.
#include "calendardialog.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace zodiara;

Q_DECLARE_METATYPE(zodiara::CalendarDate)

namespace {

CalendarDate date(int year, int month, int day)
{
    CalendarDate d;
    d.year = year;
    d.month = static_cast<std::int8_t>(month);
    d.day = static_cast<std::int8_t>(day);
    return d;
}

// The day numbers of the grid, "" for empty cells.
QStringList cells(const CalendarDialog& dialog)
{
    QStringList texts;
    for (int cell = 0; cell < CalendarDialog::CellCount; ++cell)
        texts << dialog.dayCellText(cell);
    return texts;
}

QStringList expectedCells(int first, const QList<int>& days)
{
    QStringList texts(CalendarDialog::CellCount);
    for (int i = 0; i < days.size(); ++i)
        texts[first + i] = QString::number(days[i]);
    return texts;
}

QList<int> range(int from, int to)
{
    QList<int> days;
    for (int d = from; d <= to; ++d)
        days << d;
    return days;
}

bool drawnRed(const CalendarDialog& dialog, int cell)
{
    const QImage image = dialog.findChild<QLabel*>(QStringLiteral("day%1").arg(cell))->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(255, 0, 0))
                return true;
    return false;
}

}  // namespace

class CalendarDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }

    void grid_data();
    void grid();
    void monthChangeClampsDay_data();
    void monthChangeClampsDay();
    void clickOnDayCell();
    void cancelRestoresDate();
    void okKeepsPickedDate();
    void spinStaysInRange();
};

void CalendarDialogTest::grid_data()
{
    QTest::addColumn<CalendarDate>("start");
    QTest::addColumn<bool>("beforeChrist");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("selectedCell");

    // March 1998 begins on a Sunday.
    QTest::newRow("1998-03-15") << date(1998, 3, 15) << false << "Sunday, March 15, 1998"
                                << expectedCells(0, range(1, 31)) << 14;
    QTest::newRow("February 1900 has 28 days") << date(1900, 2, 10) << false << "Saturday, February 10, 1900"
                                               << expectedCells(4, range(1, 28)) << 13;
    QTest::newRow("February 2100 has 28 days") << date(2100, 2, 1) << false << "Monday, February 1, 2100"
                                               << expectedCells(1, range(1, 28)) << 1;
    QTest::newRow("February 2000 has 29 days") << date(2000, 2, 29) << false << "Tuesday, February 29, 2000"
                                               << expectedCells(2, range(1, 29)) << 30;
    // The reform: Thursday the 4th was followed by Friday the 15th.
    QTest::newRow("1582-10-04") << date(1582, 10, 4) << false << "Thursday, October 4, 1582"
                                << expectedCells(1, range(1, 4) + range(15, 31)) << 4;
    QTest::newRow("1582-10-15") << date(1582, 10, 15) << false << "Friday, October 15, 1582"
                                << expectedCells(1, range(1, 4) + range(15, 31)) << 5;
    QTest::newRow("a date the reform skipped opens on the 15th") << date(1582, 10, 9) << false
                                                                 << "Friday, October 15, 1582"
                                                                 << expectedCells(1, range(1, 4) + range(15, 31)) << 5;
    // August 1998 begins on a Saturday and reaches the sixth row.
    QTest::newRow("month starting on Saturday") << date(1998, 8, 31) << false << "Monday, August 31, 1998"
                                                << expectedCells(6, range(1, 31)) << 36;
    // 44 BC is the astronomical year -43: no leap day; 45 BC (-44) has one.
    QTest::newRow("44 BC February") << date(44, 2, 29) << true << "Tuesday, February 28, 44 BC"
                                    << expectedCells(3, range(1, 28)) << 30;
    QTest::newRow("45 BC February") << date(45, 2, 29) << true << "Monday, February 29, 45 BC"
                                    << expectedCells(1, range(1, 29)) << 29;
    QTest::newRow("the 31st of February opens on the last day") << date(1999, 2, 31) << false
                                                                 << "Sunday, February 28, 1999"
                                                                 << expectedCells(1, range(1, 28)) << 28;
}

void CalendarDialogTest::grid()
{
    QFETCH(CalendarDate, start);
    QFETCH(bool, beforeChrist);
    QFETCH(QString, caption);
    QFETCH(QStringList, cells);
    QFETCH(int, selectedCell);

    CalendarDate callers = start;
    CalendarDialog dialog(nullptr, callers, 0, 3000, beforeChrist);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.dateCaption(), caption);
    QCOMPARE(::cells(dialog), cells);
    QCOMPARE(dialog.selectedCell(), selectedCell);
    QVERIFY(drawnRed(dialog, selectedCell));
    QVERIFY(!drawnRed(dialog, selectedCell == 0 ? 1 : 0));
    QCOMPARE(dialog.findChild<QComboBox*>("monthList")->currentIndex(), callers.month - 1);
    QCOMPARE(dialog.findChild<QSpinBox*>("yearBox")->value(), callers.year);
    dialog.reject();
    QCOMPARE(callers.year, start.year);
    QCOMPARE(callers.day, start.day);
}

void CalendarDialogTest::monthChangeClampsDay_data()
{
    QTest::addColumn<CalendarDate>("start");
    QTest::addColumn<int>("month");  // chosen in the list, 1..12; 0 to change the year instead
    QTest::addColumn<int>("year");
    QTest::addColumn<CalendarDate>("live");
    QTest::addColumn<QString>("caption");
    QTest::newRow("31 March to April") << date(1998, 3, 31) << 4 << 1998 << date(1998, 4, 30)
                                       << "Thursday, April 30, 1998";
    QTest::newRow("30 January to February") << date(2001, 1, 30) << 2 << 2001 << date(2001, 2, 28)
                                            << "Wednesday, February 28, 2001";
    QTest::newRow("leap day to a common year") << date(2000, 2, 29) << 0 << 2001 << date(2001, 2, 28)
                                               << "Wednesday, February 28, 2001";
    QTest::newRow("day kept where it exists") << date(1998, 3, 15) << 5 << 1998 << date(1998, 5, 15)
                                              << "Friday, May 15, 1998";
    QTest::newRow("into the reform's gap") << date(1582, 9, 10) << 10 << 1582 << date(1582, 10, 15)
                                           << "Friday, October 15, 1582";
}

void CalendarDialogTest::monthChangeClampsDay()
{
    QFETCH(CalendarDate, start);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(CalendarDate, live);
    QFETCH(QString, caption);

    CalendarDate callers = start;
    CalendarDialog dialog(nullptr, callers, 0, 3000);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (month > 0) {
        auto* list = dialog.findChild<QComboBox*>("monthList");
        list->setFocus();
        const int steps = month - list->currentIndex() - 1;
        for (int i = 0; i < std::abs(steps); ++i)
            QTest::keyClick(list, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
    } else {
        auto* spin = dialog.findChild<QSpinBox*>("yearBox");
        for (int y = spin->value(); y < year; ++y)
            QTest::keyClick(spin, Qt::Key_Up);
    }
    QCOMPARE(callers.year, live.year);
    QCOMPARE(callers.month, live.month);
    QCOMPARE(callers.day, live.day);
    QCOMPARE(dialog.dateCaption(), caption);
    QCOMPARE(dialog.dayCellText(dialog.selectedCell()), QString::number(live.day));
    dialog.accept();
}

void CalendarDialogTest::clickOnDayCell()
{
    CalendarDate callers = date(1998, 3, 15);
    CalendarDialog dialog(nullptr, callers, 0, 3000);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.findChild<QLabel*>("day19"), Qt::LeftButton);
    QCOMPARE(int(callers.day), 20);
    QCOMPARE(dialog.dateCaption(), QStringLiteral("Friday, March 20, 1998"));
    QCOMPARE(dialog.selectedCell(), 19);
    QVERIFY(drawnRed(dialog, 19));
    QVERIFY(!drawnRed(dialog, 14));

    // An empty cell and a heading do nothing.
    QTest::mouseClick(dialog.findChild<QLabel*>("day40"), Qt::LeftButton);
    QCOMPARE(int(callers.day), 20);
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(int(callers.day), 20);
}

void CalendarDialogTest::cancelRestoresDate()
{
    CalendarDate callers = date(1987, 7, 9);
    CalendarDialog dialog(nullptr, callers, 0, 3000);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(dialog.findChild<QSpinBox*>("yearBox"), Qt::Key_Up);
    QTest::keyClick(dialog.findChild<QComboBox*>("monthList"), Qt::Key_Down);
    QTest::mouseClick(dialog.findChild<QLabel*>("day20"), Qt::LeftButton);
    QVERIFY(callers.year != 1987 && callers.month != 7 && callers.day != 9);

    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(callers.year, 1987);
    QCOMPARE(int(callers.month), 7);
    QCOMPARE(int(callers.day), 9);
}

void CalendarDialogTest::okKeepsPickedDate()
{
    CalendarDate callers = date(1998, 3, 15);
    CalendarDialog dialog(nullptr, callers, 0, 3000);
    test::onNextModal<CalendarDialog>([](CalendarDialog* d) {
        QTest::mouseClick(d->findChild<QLabel*>("day2"), Qt::LeftButton);
        for (QPushButton* button : d->findChildren<QPushButton*>())
            if (button->text() == QLatin1String("OK"))
                button->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(int(callers.day), 3);
    QCOMPARE(int(callers.month), 3);
    QCOMPARE(callers.year, 1998);
}

void CalendarDialogTest::spinStaysInRange()
{
    CalendarDate callers = date(3000, 1, 1);
    CalendarDialog dialog(nullptr, callers, 0, 3000);
    dialog.show();
    auto* spin = dialog.findChild<QSpinBox*>("yearBox");
    QTest::keyClick(spin, Qt::Key_Up);
    QCOMPARE(callers.year, 3000);
    spin->setValue(1);
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    QCOMPARE(callers.year, 0);
    QCOMPARE(spin->text(), QStringLiteral("0"));
}

QTEST_MAIN(CalendarDialogTest)
#include "calendardialog_test.moc"
