#include "ui/messageservice.h"

#include "chart/chart.h"
#include "ui/textconversion.h"

#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace zodiara {

namespace {

constexpr QChar NoBreakSpace(0x00a0);

// A line break before a question mark or inside a date ("January / 1, 1990") strands part of it.
QString keepTogether(QString text)
{
    static const QRegularExpression pieces = [] {
        QStringList months;
        for (const std::string_view month : MonthNames)
            months << toQString(month);
        return QRegularExpression(QStringLiteral(" \\?|\\b(?:%1) \\d{1,2}, \\d+(?: BC)?").arg(months.join(u'|')));
    }();
    QRegularExpressionMatchIterator it = pieces.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        for (qsizetype i = match.capturedStart(); i < match.capturedEnd(); ++i)
            if (text[i] == u' ')
                text[i] = NoBreakSpace;
    }
    return text;
}

// Widens the box to its longest line, up to a share of the screen, so that a short text is not
// wrapped at the box's default width.
void fitToText(QMessageBox& box)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = box.screen();
    if (!label || !screen)
        return;
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : label->text().split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int limit = std::min(screen->availableGeometry().width() * 3 / 5, 800);
    label->setMinimumWidth(std::min(widest + 1, limit));
}

}  // namespace

MessageService::Result QtMessageService::show(QWidget* owner, const QString& text, const QString& caption,
                                              Buttons buttons, Result defaultAnswer)
{
    // Questions carry no icon, as errors carry none.
    const bool question = buttons == Buttons::YesNo;
    QMessageBox box(QMessageBox::NoIcon, caption, keepTogether(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    fitToText(box);
    if (!question) {
        box.exec();
        return Result::Ok;
    }
    box.setDefaultButton(defaultAnswer == Result::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Result::Yes : Result::No;
}

}  // namespace zodiara
