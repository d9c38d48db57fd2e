// The date picker driven as a user would: its grid, caption, clamp, clicks and Cancel.
#include "chart/calendar.h"
#include "entry/calendardialog.h"
#include "recordingmessages.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include <algorithm>

using namespace zodiara;

namespace {

// The grid with days 1..days, then from2..to2, starting at cell `first`; "" elsewhere.
QStringList month(int first, int days, int from2 = 1, int to2 = 0)
{
    QStringList texts(CalendarDialog::CellCount);
    for (int d = 1; d <= days; ++d)
        texts[first++] = QString::number(d);
    for (int d = from2; d <= to2; ++d)
        texts[first++] = QString::number(d);
    return texts;
}

bool drawnRed(const CalendarDialog& dialog, int cell)
{
    QLabel* label = dialog.findChild<QLabel*>(QStringLiteral("day%1").arg(cell));
    const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return std::count(pixels, pixels + image.width() * image.height(), qRgb(255, 0, 0)) > 0;
}

}  // namespace

class CalendarDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }

    void grid_data()
    {
        QTest::addColumn<QString>("start");
        // "m" next month in the list, "y" and "d" the year box's arrows up and down, "h" a heading,
        // a cell number, "t<year>" typed over the year, "enter" Enter in the year box
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("caption");  // its day is the selected one
        QTest::addColumn<QStringList>("cells");
        // clang-format off
        // The reform: Thursday the 4th was followed by Friday the 15th.
        QTest::newRow("reform gap") << "1582-10-09" << "" << "Friday, October 15, 1582" << month(1, 4, 15, 31);
        // 44 BC is the astronomical year -43, with no leap day.
        QTest::newRow("44 BC") << "44-02-29 BC" << "" << "Tuesday, February 28, 44 BC" << month(3, 28);
        QTest::newRow("31 to April") << "1998-03-31" << "m" << "Thursday, April 30, 1998" << month(3, 30);
        QTest::newRow("29th, year+1") << "2000-02-29" << "y" << "Wednesday, February 28, 2001" << month(4, 28);
        // A click on a day picks it; an empty cell and a heading do nothing.
        QTest::newRow("click") << "1998-03-15" << "19 40 h" << "Friday, March 20, 1998" << month(0, 31);
        // No year 0: the arrows step across it and change the era; 1 BC is a leap year.
        QTest::newRow("2 AD, two down") << "2-02-28" << "d d" << "Saturday, February 28, 1 BC" << month(0, 29);
        QTest::newRow("1 BC, up") << "1-02-28 BC" << "y" << "Monday, February 28, 1" << month(2, 28);
        QTest::newRow("lowest year") << "3000-01-15 BC" << "d" << "Monday, January 15, 3000 BC" << month(1, 31);
        // A typed year shows at once, and Enter leaves the picker open.
        QTest::newRow("typed, Enter") << "1998-03-15" << "t2000 enter" << "Wednesday, March 15, 2000" << month(3, 31);
        QTest::newRow("typed keeps the 29th") << "2000-02-29" << "t2004" << "Sunday, February 29, 2004" << month(0, 29);
        QTest::newRow("typed keeps the era") << "44-03-15 BC" << "t45" << "Tuesday, March 15, 45 BC" << month(2, 31);
        QTest::newRow("typed with an era") << "44-03-15 BC" << "t5ad" << "Sunday, March 15, 5" << month(0, 31);
        // clang-format on
    }

    void grid()
    {
        QFETCH(QString, start);
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QStringList, cells);
        const QStringList ymd = start.section(u' ', 0, 0).split(u'-');  // "44-02-29 BC"
        const CalendarDate given{ymd[0].toInt(), std::int8_t(ymd[2].toInt()), std::int8_t(ymd[1].toInt())};
        CalendarDate callers = given;
        CalendarDialog dialog(nullptr, callers, 3000, start.endsWith(QLatin1String("BC")));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* year = dialog.findChild<QSpinBox*>("yearBox");
        for (const QString& step : action.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u'm') {
                QTest::keyClick(dialog.findChild<QComboBox*>("monthList"), Qt::Key_Down);
            } else if (step == u'y' || step == u'd') {
                QTest::keyClick(year, step == u'y' ? Qt::Key_Up : Qt::Key_Down);
            } else if (step.startsWith(u't')) {
                year->setFocus();
                year->selectAll();
                QTest::keyClicks(year, step.mid(1));
            } else if (step == "enter") {
                QTest::keyClick(year, Qt::Key_Return);
            } else if (step == u'h') {
                QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(2, 2));
            } else {
                QTest::mouseClick(dialog.findChild<QLabel*>("day" + step), Qt::LeftButton);
            }
        }
        // The caption shows the caller's date, which the picker edits live.
        QCOMPARE(dialog.dateCaption(), caption);
        QStringList shown;
        for (int cell = 0; cell < CalendarDialog::CellCount; ++cell)
            shown << dialog.dayCellText(cell);
        QCOMPARE(shown, cells);
        const int selectedCell = cells.indexOf(caption.section(u',', 1, 1).section(u' ', -1));
        QCOMPARE(dialog.selectedCell(), selectedCell);
        QVERIFY(drawnRed(dialog, selectedCell) && !drawnRed(dialog, selectedCell == 14 ? 0 : 14));
        const bool beforeChrist = dialog.dateCaption().endsWith(QLatin1String(" BC"));
        QCOMPARE((QList<int>{dialog.findChild<QComboBox*>("monthList")->currentIndex() + 1, year->value(),
                             dialog.beforeChrist()}),
                 (QList<int>{callers.month, astronomicalYear(callers.year, beforeChrist), beforeChrist}));
        // Cancel gives the caller back the date it came with.
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(callers == given);
    }
};

QTEST_MAIN(CalendarDialogTest)
#include "calendardialog_test.moc"
