// The main window's central widget: draws the document's chart and explains clicks on it.
#pragma once

#include <QWidget>

#include <optional>

#include "chart/pipeline.h"
#include "display/chartpaint.h"

namespace zodiara {

class ChartDocument;
class MessageService;

class ChartView : public QWidget {
    Q_OBJECT
public:
    // `messages` shows the click explanations.
    ChartView(const ChartDocument& document, MessageService& messages, QWidget* parent = nullptr);

    // Whether the aspect table is drawn and its cells answer clicks.
    bool showAspects() const { return m_showAspects; }
    void setShowAspects(bool show);

    // The document's tables as last painted, and where that paint put the glyphs and aspect
    // cells: what clicks test.
    const HitAreas& hitAreas() const { return m_hits; }

    QSize sizeHint() const override { return {580, 420}; }

    // Below this the wheel and the aspect table would be squeezed past reading.
    QSize minimumSizeHint() const override { return {320, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Over a glyph or an aspect cell the cursor and a tooltip say what a click would explain.
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::optional<QString> explanationAt(QPoint at) const;

    const ChartDocument& m_document;
    MessageService& m_messages;
    DerivedTables m_painted;
    HitAreas m_hits;
    bool m_showAspects = false;
};

}  // namespace zodiara
