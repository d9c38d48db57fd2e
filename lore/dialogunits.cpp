#include "lore/dialogunits.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include <QtMath>
#include <algorithm>

namespace zodiara {

QSize dialogUnits(const QFontMetrics& metrics, int width, int height)
{
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double averageWidth = metrics.horizontalAdvance(alphabet) / double(alphabet.size());
    return QSize(qCeil(width * averageWidth / 4), qCeil(height * metrics.height() / 8.0));
}

int tallestWrapped(const QFontMetrics& metrics, int width, const QStringList& texts, int margin)
{
    int tallest = 0;
    for (const QString& text : texts) {
        const QRect box = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text);
        tallest = std::max(tallest, box.height());
    }
    return tallest + 2 * margin;
}

int widestLine(const QFontMetrics& metrics, const QStringList& texts, int margin)
{
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest + 2 * margin;
}

QHBoxLayout* centredOkButton(QDialog* dialog)
{
    auto* ok = new QPushButton(QStringLiteral("Ok"));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    return buttons;
}

}  // namespace zodiara
