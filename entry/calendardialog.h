// "Select Date": one month as a grid of day cells; edits the caller's date live, Cancel restores it.
#pragma once

#include "chart.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QSpinBox;

namespace zodiara {

class CalendarDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CellCount = 42;

    // `date.year` is the year as entered (positive), counted before Christ when `beforeChrist`.
    // The year box keeps to lowestYear..highestYear.
    CalendarDialog(QWidget* parent, CalendarDate& date, int lowestYear, int highestYear,
                   bool beforeChrist = false);

    // Index 0..41 of the highlighted day cell.
    int selectedCell() const { return m_selectedCell; }
    QString dayCellText(int cell) const;
    QString dateCaption() const;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void onMonthChosen(int index);
    void onYearChanged(int year);
    void fitDayToMonth();
    void refresh();
    void paintCell(int cell, bool selected);
    int astronomical() const;

    CalendarDate& m_date;
    const CalendarDate m_original;
    const bool m_beforeChrist;
    int m_selectedCell = 0;
    bool m_centered = false;

    QLabel* m_caption = nullptr;
    QComboBox* m_month = nullptr;
    QSpinBox* m_year = nullptr;
    std::array<QLabel*, CellCount> m_cells{};
};

}  // namespace zodiara
