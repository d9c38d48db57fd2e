#include "entry/calendardialog.h"

#include "chart/calendar.h"
#include "ui/centeronscreen.h"
#include "ui/textconversion.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <optional>

namespace zodiara {

// The year with its era. Its value is the astronomical year (0 is 1 BC), so the arrows step
// from 1 AD to 1 BC and there is no year 0. A typed number is a year AD unless "BC" follows it, as
// it would be written anywhere else.
class YearBox final : public QSpinBox {
public:
    YearBox(QWidget* parent, int highestYear) : QSpinBox(parent) { setRange(1 - highestYear, highestYear); }

protected:
    QString textFromValue(int value) const override
    {
        return value > 0 ? QString::number(value) : QStringLiteral("%1 BC").arg(1 - value);
    }

    int valueFromText(const QString& text) const override { return parse(text).value_or(value()); }

    QValidator::State validate(QString& input, int&) const override
    {
        if (input.trimmed().isEmpty())
            return QValidator::Intermediate;
        const std::optional<int> year = parse(input);
        return year && *year >= minimum() && *year <= maximum() ? QValidator::Acceptable : QValidator::Invalid;
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        QSpinBox::keyPressEvent(event);
        // Enter shows the typed year's month; closing the picker is the user's next step.
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }

private:
    std::optional<int> parse(const QString& text) const
    {
        static const QRegularExpression pattern(
            QStringLiteral("^\\s*(\\d{1,4})\\s*(?:(b)\\.?c?\\.?|(a)\\.?d?\\.?)?\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = pattern.match(text);
        const int entered = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (entered == 0)
            return std::nullopt;
        const bool beforeChrist = match.hasCaptured(2);
        return astronomicalYear(entered, beforeChrist);
    }
};

CalendarDialog::CalendarDialog(QWidget* parent, CalendarDate& date, int highestYear, bool beforeChrist)
    : CentredDialog(parent), m_date(date), m_original(date), m_beforeChrist(beforeChrist), m_wantedDay(date.day)
{
    setWindowTitle(QStringLiteral("Select Date"));

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("dateCaption"));
    m_caption->setAlignment(Qt::AlignCenter);

    m_month = new QComboBox(this);
    m_month->setObjectName(QStringLiteral("monthList"));
    for (const std::string_view name : MonthNames)
        m_month->addItem(toQString(name));

    m_year = new YearBox(this, highestYear);
    m_year->setObjectName(QStringLiteral("yearBox"));

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    static constexpr std::array<const char*, 7> Headings = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const int cellWidth = fontMetrics().horizontalAdvance(QStringLiteral("Wed")) + 14;
    const int cellHeight = fontMetrics().height() + 8;
    for (int column = 0; column < 7; ++column) {
        auto* heading = new QLabel(QString::fromLatin1(Headings[static_cast<std::size_t>(column)]), this);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFrameStyle(QFrame::Box | QFrame::Plain);
        heading->setFixedWidth(cellWidth);
        grid->addWidget(heading, 0, column);
    }
    for (int cell = 0; cell < CellCount; ++cell) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("day%1").arg(cell));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setMargin(2);
        label->setFixedSize(cellWidth, cellHeight);
        grid->addWidget(label, 1 + cell / 7, cell % 7);
        m_cells[static_cast<std::size_t>(cell)] = label;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CalendarDialog::reject);

    auto* pickers = new QHBoxLayout;
    pickers->addWidget(m_month, 1);
    pickers->addWidget(m_year);
    auto* left = new QVBoxLayout;
    left->addLayout(pickers);
    left->addLayout(grid);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addSpacing(8);
    body->addLayout(buttons);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_caption);
    top->addLayout(body);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_month, &QComboBox::currentIndexChanged, this, &CalendarDialog::onMonthChosen);
    connect(m_year, &QSpinBox::valueChanged, this, &CalendarDialog::onYearChanged);

    // Open on a date the grid can show; Cancel still gives back the original.
    if (m_date.month < 1 || m_date.month > 12)
        m_date.month = 1;
    const int year = m_date.year;
    m_date.year = std::clamp(year, 1, std::max(1, highestYear));
    fitDayToMonth();
    refresh();
}

int CalendarDialog::astronomical() const { return astronomicalYear(m_date.year, m_beforeChrist); }

QString CalendarDialog::dayCellText(int cell) const { return m_cells.at(static_cast<std::size_t>(cell))->text(); }

QString CalendarDialog::dateCaption() const { return m_caption->text(); }

void CalendarDialog::fitDayToMonth()
{
    const int year = astronomical();
    m_date.day = static_cast<std::int8_t>(std::clamp(m_wantedDay, 1, daysInMonth(m_date.month, year)));
    // The reform went from the 4th to the 15th; Julian 5 October is Gregorian 15 October.
    if (!dateExists(year, m_date.month, m_date.day))
        m_date.day = 15;
}

void CalendarDialog::onMonthChosen(int index)
{
    if (index < 0)
        return;
    m_date.month = static_cast<std::int8_t>(index + 1);
    fitDayToMonth();
    refresh();
}

void CalendarDialog::onYearChanged(int astronomicalYear)
{
    m_beforeChrist = astronomicalYear <= 0;
    m_date.year = m_beforeChrist ? 1 - astronomicalYear : astronomicalYear;
    fitDayToMonth();
    refresh();
}

void CalendarDialog::refresh()
{
    {
        // Setting the box to what it holds must not come back here as a change.
        const QSignalBlocker blockYear(m_year);
        const QSignalBlocker blockMonth(m_month);
        // Rewriting the box while the user types in it would move the caret.
        if (m_year->value() != astronomical())
            m_year->setValue(astronomical());
        m_month->setCurrentIndex(m_date.month - 1);
    }
    const int year = astronomical();
    const int month = m_date.month;
    const int first = weekday(year, month, 1);

    QString caption = QStringLiteral("%1, %2 %3, %4")
                          .arg(toQString(WeekdayNames[static_cast<std::size_t>(weekday(year, month, m_date.day))]),
                               toQString(MonthNames[static_cast<std::size_t>(month - 1)]))
                          .arg(m_date.day)
                          .arg(m_date.year);
    if (m_beforeChrist)
        caption += QStringLiteral(" BC");
    m_caption->setText(caption);

    const int previous = m_selectedCell;
    int cell = first;
    for (int c = 0; c < first; ++c)
        m_cells[static_cast<std::size_t>(c)]->clear();
    for (int day = 1; day <= daysInMonth(month, year); ++day) {
        if (!dateExists(year, month, day))
            continue;
        m_cells[static_cast<std::size_t>(cell)]->setText(QString::number(day));
        if (day == m_date.day)
            m_selectedCell = cell;
        ++cell;
    }
    for (; cell < CellCount; ++cell)
        m_cells[static_cast<std::size_t>(cell)]->clear();
    paintCell(previous, false);
    paintCell(m_selectedCell, true);
}

void CalendarDialog::paintCell(int cell, bool selected)
{
    QLabel* label = m_cells.at(static_cast<std::size_t>(cell));
    if (!selected) {
        label->setAutoFillBackground(false);
        label->setPalette(palette());
        return;
    }
    QPalette red = palette();
    red.setColor(QPalette::Window, Qt::white);
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(red);
    label->setAutoFillBackground(true);
}

void CalendarDialog::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    for (QLabel* cell : m_cells) {
        if (cell->geometry().contains(at) && !cell->text().isEmpty()) {
            m_wantedDay = cell->text().toInt();
            m_date.day = static_cast<std::int8_t>(m_wantedDay);
            refresh();
            return;
        }
    }
}

void CalendarDialog::reject()
{
    m_date = m_original;
    QDialog::reject();
}

}  // namespace zodiara
