#include "app/chartview.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/chartdocument.h"
#include "app/clickinfo.h"
#include "display/chartcanvas.h"
#include "display/chartpaint.h"
#include "ui/messageservice.h"

namespace zodiara {

ChartView::ChartView(const ChartDocument& document, MessageService& messages, QWidget* parent)
    : QWidget(parent), m_document(document), m_messages(messages)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::setShowAspects(bool show)
{
    m_showAspects = show;
    update();
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterCanvas canvas(painter, GlyphStyle::Bitmap);
    // A click is explained from the picture it landed on, even if the chart has changed since.
    m_painted = m_document.tables();
    m_hits = paintChartView(canvas, m_document.chart(), m_painted, size(), m_showAspects);
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (const std::optional<QString> text = clickExplanation(m_painted, m_hits, m_showAspects, at.x(), at.y()))
        m_messages.show(this, *text);
}

}  // namespace zodiara
