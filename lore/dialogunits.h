// Sizes in dialog units (a quarter of the font's average character width across, an eighth of
// its height down), so the boxes keep their proportions under any font.
#pragma once

#include <QFontMetrics>
#include <QSize>
#include <QStringList>

class QDialog;
class QHBoxLayout;

namespace zodiara {

QSize dialogUnits(const QFontMetrics& metrics, int width, int height);

// Height in pixels that shows the tallest of `texts` word-wrapped at `width`, with `margin`
// pixels above and below.
int tallestWrapped(const QFontMetrics& metrics, int width, const QStringList& texts, int margin);

// Width in pixels of the widest of `texts` on one line, with `margin` pixels either side.
int widestLine(const QFontMetrics& metrics, const QStringList& texts, int margin);

// The lore boxes' one "Ok" button, centred in a row, closing `dialog` with OK.
QHBoxLayout* centredOkButton(QDialog* dialog);

}  // namespace zodiara
