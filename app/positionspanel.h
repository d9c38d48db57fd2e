// The chart as a table beside the wheel: the ten bodies, the Ascendant and MidHeaven, then the
// twelve cusps, each with its sign, degrees and minutes, and house. Selectable; Copy gives the
// selected rows (all rows when none is selected) as tab-separated text.
#pragma once

#include <QTableWidget>

#include "chart/chart.h"

namespace zodiara {

class PositionsPanel : public QTableWidget {
    Q_OBJECT
public:
    explicit PositionsPanel(QWidget* parent = nullptr);

    void showChart(const Chart& chart);
    // The rows as text, one line each, cells separated by tabs; only the selected rows if any.
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace zodiara
