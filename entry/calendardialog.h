// "Select Date": one month as a grid of day cells; edits the caller's date live, Cancel restores it.
#pragma once

#include "chart/chart.h"

#include <QDialog>

#include "ui/centeronscreen.h"

#include <array>

class QComboBox;
class QLabel;

namespace zodiara {

class YearBox;

class CalendarDialog : public CentredDialog {
    Q_OBJECT
public:
    static constexpr int CellCount = 42;

    // `date.year` is the year as entered (1 or more), counted before Christ when `beforeChrist`.
    // The year box runs from highestYear BC to highestYear AD without a year 0, so stepping
    // through year 1 changes the era; beforeChrist() tells the era chosen.
    CalendarDialog(QWidget* parent, CalendarDate& date, int highestYear, bool beforeChrist = false);

    bool beforeChrist() const { return m_beforeChrist; }

    // Index 0..41 of the highlighted day cell.
    int selectedCell() const { return m_selectedCell; }
    QString dayCellText(int cell) const;
    QString dateCaption() const;

    void reject() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void onMonthChosen(int index);
    void onYearChanged(int astronomicalYear);
    void fitDayToMonth();
    void refresh();
    void paintCell(int cell, bool selected);
    int astronomical() const;

    CalendarDate& m_date;
    const CalendarDate m_original;
    bool m_beforeChrist;
    // The day last chosen; a shorter month shows its last day instead without forgetting it,
    // so a year typed digit by digit keeps the 29th of February.
    int m_wantedDay;
    int m_selectedCell = 0;

    QLabel* m_caption = nullptr;
    QComboBox* m_month = nullptr;
    YearBox* m_year = nullptr;
    std::array<QLabel*, CellCount> m_cells{};
};

}  // namespace zodiara
