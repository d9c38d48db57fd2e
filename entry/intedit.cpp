#include "entry/intedit.h"

#include <QKeyEvent>

namespace zodiara {

std::optional<long long> leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    long long value = 0;
    constexpr long long Ceiling = 1'000'000'000'000LL;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        value = std::min(Ceiling, value * 10 + (text.at(i).unicode() - u'0'));
        ++i;
    }
    if (i == digitsStart)
        return std::nullopt;
    return negative ? -value : value;
}

IntEdit::IntEdit(QWidget* parent, int textLimit, int minimum, int maximum)
    : QLineEdit(parent), m_minimum(minimum), m_maximum(maximum)
{
    setMaxLength(std::max(1, textLimit - 1));
}

bool IntEdit::holdsOutOfRange() const
{
    const auto value = leadingInteger(text());
    return value && (*value < m_minimum || *value > m_maximum);
}

void IntEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    // Keys that type no character (arrows, Home, Delete) and the dialog's own keys are not typing.
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: QLineEdit::keyPressEvent(event); return;
    default: break;
    }
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const char16_t code = typed.at(0).unicode();
    const bool digit = code >= u'0' && code <= u'9';
    const bool control = code < 32;
    if (digit || control)
        QLineEdit::keyPressEvent(event);
    else
        event->accept();

    // Take characters back until the value fits; stop when a backspace changes nothing
    // (caret at the start), or an out-of-range text would loop for ever.
    while (holdsOutOfRange()) {
        const QString before = text();
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QLineEdit::keyPressEvent(&backspace);
        if (text() == before)
            break;
    }
}

}  // namespace zodiara
