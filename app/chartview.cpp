#include "app/chartview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "app/chartdocument.h"
#include "app/clickinfo.h"
#include "display/chartcanvas.h"
#include "display/chartpaint.h"
#include "ui/messageservice.h"
#include "ui/textconversion.h"

namespace zodiara {

ChartView::ChartView(const ChartDocument& document, MessageService& messages, QWidget* parent)
    : QWidget(parent), m_document(document), m_messages(messages)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
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
    if (const std::optional<QString> text = explanationAt(event->position().toPoint()))
        m_messages.show(this, *text);
}

std::optional<QString> ChartView::explanationAt(QPoint at) const
{
    return clickExplanation(m_painted, m_hits, m_showAspects, at.x(), at.y());
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (explanationAt(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

bool ChartView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    // Elsewhere the whole name, which the hub shortens where it is long.
    const QString name = toQString(m_document.chart().birth.name);
    if (const std::optional<QString> text = explanationAt(help->pos()))
        QToolTip::showText(help->globalPos(), *text, this);
    else if (!name.trimmed().isEmpty())
        QToolTip::showText(help->globalPos(), name, this);
    else
        QToolTip::hideText();
    return true;
}

}  // namespace zodiara
