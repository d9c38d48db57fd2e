#include "app/positionspanel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <set>

#include "chart/angles.h"
#include "chart/houses.h"
#include "display/chartpaint.h"
#include "resources/glyphs.h"
#include "ui/textconversion.h"

namespace zodiara {

namespace {

enum Column { PointColumn, SignColumn, PositionColumn, HouseColumn, ColumnCount };

QIcon glyphIcon(int resourceId, QColor ink)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyphVector(painter, resourceId, QRectF(1, 1, 14, 14), ink);
    return QIcon(pixmap);
}

// "15°07′", as the report writes it.
QString positionText(int degrees, int minutes)
{
    return QStringLiteral("%1\u00b0%2\u2032").arg(degrees).arg(minutes, 2, 10, QLatin1Char('0'));
}

}  // namespace

PositionsPanel::PositionsPanel(QWidget* parent) : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("positionsTable"));
    setHorizontalHeaderLabels(
        {QStringLiteral("Point"), QStringLiteral("Sign"), QStringLiteral("Position"), QStringLiteral("House")});
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void PositionsPanel::showChart(const Chart& chart)
{
    struct Row {
        QString point;
        int pointGlyph;  // -1 for none
        Sign sign;
        int degrees, minutes;
        int house;  // 1..12, 0 for none
    };
    std::vector<Row> rows;
    for (const Body body : AllBodies) {
        const BodyPosition& p = chart.body(body);
        rows.push_back({toQString(bodyName(body)), bodyGlyphId(body), p.sign, p.degrees, p.minutes, p.house + 1});
    }
    for (const auto& [name, longitude] :
         {std::pair("Ascendant", chart.angles.ascendant), std::pair("MidHeaven", chart.angles.midheaven)}) {
        BodyPosition p;
        splitBody(p, longitude);
        rows.push_back(
            {QString::fromLatin1(name), -1, p.sign, p.degrees, p.minutes, houseOf(longitude, chart.cusps) + 1});
    }
    for (const HouseCusp& cusp : chart.cusps)
        rows.push_back({QStringLiteral("Cusp %1").arg(cusp.house), -1, cusp.sign, cusp.degrees, cusp.minutes, 0});

    setRowCount(int(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const Row& row = rows[std::size_t(r)];
        auto* point = new QTableWidgetItem(row.point);
        if (row.pointGlyph >= 0)
            point->setIcon(glyphIcon(row.pointGlyph, elementInk(row.sign)));
        auto* sign =
            new QTableWidgetItem(glyphIcon(signGlyphId(row.sign), elementInk(row.sign)), toQString(signName(row.sign)));
        auto* position = new QTableWidgetItem(positionText(row.degrees, row.minutes));
        position->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* house = new QTableWidgetItem(row.house > 0 ? QString::number(row.house) : QString());
        house->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(r, PointColumn, point);
        setItem(r, SignColumn, sign);
        setItem(r, PositionColumn, position);
        setItem(r, HouseColumn, house);
    }
    // Every column shows whole, without a horizontal scroll bar.
    setMinimumWidth(horizontalHeader()->length() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
}

QString PositionsPanel::text() const
{
    std::set<int> chosen;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        chosen.insert(index.row());
    QStringList lines;
    for (int r = 0; r < rowCount(); ++r) {
        if (!chosen.empty() && !chosen.contains(r))
            continue;
        QStringList cells;
        for (int c = 0; c < columnCount(); ++c)
            cells << item(r, c)->text();
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

void PositionsPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(text());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace zodiara
