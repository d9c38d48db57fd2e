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
    return CalendarDate{year, static_cast<std::int8_t>(day), static_cast<std::int8_t>(month)};
}

QStringList cells(const CalendarDialog& dialog)
{
    QStringList texts;
    for (int cell = 0; cell < CalendarDialog::CellCount; ++cell)
        texts << dialog.dayCellText(cell);
    return texts;
}

// The grid with days from..to, then from2..to2, starting at cell `first`; "" elsewhere.
QStringList grid(int first, int from, int to, int from2 = 1, int to2 = 0)
{
    QStringList texts(CalendarDialog::CellCount);
    for (int d = from; d <= to; ++d)
        texts[first++] = QString::number(d);
    for (int d = from2; d <= to2; ++d)
        texts[first++] = QString::number(d);
    return texts;
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
    void cancelRestoresDate();
};

void CalendarDialogTest::grid_data()
{
    QTest::addColumn<CalendarDate>("start");
    QTest::addColumn<bool>("beforeChrist");
    QTest::addColumn<QString>("action");  // "m" next month in the list, "y" next year, "h" a heading, a cell number
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("selectedCell");
    const QStringList reform = ::grid(1, 1, 4, 15, 31);
    QTest::newRow("1998-03-15") << date(1998, 3, 15) << false << "" << "Sunday, March 15, 1998" << ::grid(0, 1, 31)
                                << 14;
    QTest::newRow("February 1900") << date(1900, 2, 10) << false << "" << "Saturday, February 10, 1900"
                                   << ::grid(4, 1, 28) << 13;
    // The reform: Thursday the 4th was followed by Friday the 15th.
    QTest::newRow("1582-10-04") << date(1582, 10, 4) << false << "" << "Thursday, October 4, 1582" << reform << 4;
    QTest::newRow("1582-10-15") << date(1582, 10, 15) << false << "" << "Friday, October 15, 1582" << reform << 5;
    QTest::newRow("a skipped date opens on the 15th") << date(1582, 10, 9) << false << "" << "Friday, October 15, 1582"
                                                      << reform << 5;
    QTest::newRow("into the reform's gap") << date(1582, 9, 10) << false << "m" << "Friday, October 15, 1582" << reform
                                           << 5;
    // 44 BC is the astronomical year -43, with no leap day.
    QTest::newRow("44 BC February") << date(44, 2, 29) << true << "" << "Tuesday, February 28, 44 BC"
                                    << ::grid(3, 1, 28) << 30;
    QTest::newRow("31 March to April") << date(1998, 3, 31) << false << "m" << "Thursday, April 30, 1998"
                                       << ::grid(3, 1, 30) << 32;
    QTest::newRow("leap day to a common year") << date(2000, 2, 29) << false << "y" << "Wednesday, February 28, 2001"
                                               << ::grid(4, 1, 28) << 31;
    QTest::newRow("day kept where it exists") << date(1998, 3, 15) << false << "m m" << "Friday, May 15, 1998"
                                              << ::grid(5, 1, 31) << 19;
    // A click on a day picks it; an empty cell and a heading do nothing.
    QTest::newRow("click") << date(1998, 3, 15) << false << "19 40 h" << "Friday, March 20, 1998" << ::grid(0, 1, 31)
                           << 19;
}

void CalendarDialogTest::grid()
{
    QFETCH(CalendarDate, start);
    QFETCH(bool, beforeChrist);
    QFETCH(QString, action);
    QFETCH(int, selectedCell);

    CalendarDate callers = start;
    CalendarDialog dialog(nullptr, callers, 0, 3000, beforeChrist);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QString& step : action.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u'm')
            QTest::keyClick(dialog.findChild<QComboBox*>("monthList"), Qt::Key_Down);
        else if (step == u'y')
            QTest::keyClick(dialog.findChild<QSpinBox*>("yearBox"), Qt::Key_Up);
        else if (step == u'h')
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(2, 2));
        else
            QTest::mouseClick(dialog.findChild<QLabel*>("day" + step), Qt::LeftButton);
    }
    // The caption shows the caller's date, which the picker edits live.
    QTEST(dialog.dateCaption(), "caption");
    QTEST(::cells(dialog), "cells");
    QCOMPARE(dialog.selectedCell(), selectedCell);
    QVERIFY(drawnRed(dialog, selectedCell));
    QVERIFY(!drawnRed(dialog, selectedCell == 14 ? 0 : 14));
    QCOMPARE(dialog.findChild<QComboBox*>("monthList")->currentIndex(), callers.month - 1);
    QCOMPARE(dialog.findChild<QSpinBox*>("yearBox")->value(), int(callers.year));
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
    QCOMPARE((QList<int>{callers.year, callers.month, callers.day}), (QList<int>{1987, 7, 9}));
}

QTEST_MAIN(CalendarDialogTest)
#include "calendardialog_test.moc"
