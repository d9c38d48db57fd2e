// Small pieces the two lore boxes share.
#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "ui/textconversion.h"

namespace zodiara {

// A read-only value in a sunken box; the text can be selected and copied.
inline QLabel* sunkenField(const QString& objectName)
{
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(2);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Makes a word-wrapped label, `width` pixels wide, tall enough for the tallest of `texts`, so
// that the box keeps one size whatever it shows.
inline void reserveHeightFor(QLabel* label, int width, const QStringList& texts)
{
    const QString shown = label->text();
    int tallest = label->minimumHeight();
    for (const QString& text : texts) {
        label->setText(text);
        tallest = std::max(tallest, label->heightForWidth(width));
    }
    label->setText(shown);
    label->setMinimumHeight(tallest);
}

}  // namespace zodiara
