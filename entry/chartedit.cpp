#include "entry/chartedit.h"

#include "chart/birthrules.h"
#include "chart/calendar.h"
#include "chart/text1252.h"
#include "entry/atlas.h"
#include "entry/atlaslookupdialog.h"
#include "entry/calendardialog.h"
#include "entry/daylightsaving.h"
#include "entry/intedit.h"
#include "ui/centeronscreen.h"
#include "ui/messageservice.h"
#include "ui/textconversion.h"
#include "zones/clockcheck.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QVBoxLayout>

namespace zodiara {

namespace {

// Either era counts its years from 1; there is no year 0.
constexpr int HighestYear = 3000;

QString twoDigits(int value) { return value > 9 ? QString::asprintf("%2d", value) : QString::asprintf("0%1d", value); }

QString threeDigits(int value)
{
    if (value > 99)
        return QString::asprintf("%3d", value);
    return value > 9 ? QString::asprintf("0%2d", value) : QString::asprintf("00%1d", value);
}

// The first character of `text` that a chart file cannot hold.
QString firstUnstorable(const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (!fitsChartFile(one))
            return one;
    }
    return {};
}

// Its mnemonic clicks at once, without the pressed-down look's tenth of a second: keys typed
// right after Alt+L then wait for what the click opens instead of landing in the focused box.
class PromptButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            click();
            return true;
        }
        return QPushButton::event(event);
    }
};

QString yearText(int enteredYear, bool beforeChrist)
{
    return beforeChrist ? QStringLiteral("%1 BC").arg(enteredYear) : QString::number(enteredYear);
}

IntEdit* intEdit(QWidget* parent, const char* objectName, int textLimit, int minimum, int maximum, bool centred)
{
    auto* edit = new IntEdit(parent, textLimit, minimum, maximum);
    edit->setObjectName(QString::fromLatin1(objectName));
    if (centred)
        edit->setAlignment(Qt::AlignCenter);
    const QFontMetrics metrics = edit->fontMetrics();
    edit->setFixedWidth(metrics.horizontalAdvance(QString(textLimit, u'0')) + 16);
    return edit;
}

QRadioButton* radio(QWidget* parent, const char* objectName, const char* text)
{
    auto* button = new QRadioButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QLabel* label(QWidget* parent, const char* text) { return new QLabel(QString::fromLatin1(text), parent); }

// The days, shown right-aligned (" 4"): typed digits pick a day as in a list of numbers, "1" then
// "5" in quick succession the 15th, which a search of the padded texts would not find.
class DayList final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString text = event->text();
        if (text.size() != 1 || !text.front().isDigit()) {
            QComboBox::keyPressEvent(event);
            return;
        }
        const bool continuing = m_lastKey.isValid() && m_lastKey.elapsed() < QApplication::keyboardInputInterval();
        m_lastKey.start();
        m_typed = continuing ? m_typed + text : text;
        if (m_typed.toInt() < 1 || m_typed.toInt() > count())
            m_typed = text;
        if (const int day = m_typed.toInt(); day >= 1 && day <= count())
            setCurrentIndex(day - 1);
        event->accept();
    }

private:
    QString m_typed;
    QElapsedTimer m_lastKey;
};

}  // namespace

ChartEdit::ChartEdit(QWidget* parent, const BirthData& birth, const QString& programDirectory, MessageService& messages)
    : CentredDialog(parent), m_given(birth), m_birth(birth), m_programDirectory(programDirectory), m_messages(messages)
{
    setWindowTitle(QStringLiteral("Enter Chart Data"));

    // Person's name.
    auto* personGroup = new QGroupBox(QStringLiteral("Person's Name:"), this);
    m_name = new QLineEdit(personGroup);
    m_name->setObjectName(QStringLiteral("personName"));
    m_name->setMaxLength(ChartTextMaxChars);
    auto* personLayout = new QHBoxLayout(personGroup);
    personLayout->addWidget(m_name);

    // Birth date and time.
    auto* dateGroup = new QGroupBox(QStringLiteral("Birth Date:"), this);
    m_month = new QComboBox(dateGroup);
    m_month->setObjectName(QStringLiteral("monthList"));
    for (const std::string_view name : MonthNames)
        m_month->addItem(toQString(name));
    m_day = new DayList(dateGroup);
    m_day->setObjectName(QStringLiteral("dayList"));
    for (int day = 1; day <= 31; ++day)
        m_day->addItem(QString::asprintf("%2d", day));
    m_year = intEdit(dateGroup, "yearBox", 5, 1, HighestYear, false);
    m_bc = radio(dateGroup, "bcButton", "&BC");
    m_ad = radio(dateGroup, "adButton", "&AD");
    auto* era = new QButtonGroup(this);
    era->addButton(m_bc);
    era->addButton(m_ad);
    m_calendar = new QPushButton(QStringLiteral("&Calendar ..."), dateGroup);
    m_calendar->setObjectName(QStringLiteral("calendarButton"));
    m_hour = intEdit(dateGroup, "hourBox", 3, 0, 23, false);
    m_minute = intEdit(dateGroup, "minuteBox", 3, 0, 59, false);
    m_zone = new QComboBox(dateGroup);
    m_zone->setObjectName(QStringLiteral("zoneList"));
    for (const std::string_view name : TimeZoneNames)
        m_zone->addItem(toQString(name));
    m_daylightSaving = new QCheckBox(QStringLiteral("&Daylight Savings ?"), dateGroup);
    m_daylightSaving->setObjectName(QStringLiteral("daylightSavingBox"));

    // Each list keeps its natural width; the spare width goes before the Calendar button.
    auto* dateGrid = new QGridLayout;
    dateGrid->addWidget(label(dateGroup, "Month:"), 0, 0);
    dateGrid->addWidget(label(dateGroup, "Day:"), 0, 1);
    dateGrid->addWidget(label(dateGroup, "Year:"), 0, 2);
    dateGrid->addWidget(m_month, 1, 0);
    dateGrid->addWidget(m_day, 1, 1);
    dateGrid->addWidget(m_year, 1, 2);
    auto* eraColumn = new QVBoxLayout;
    eraColumn->setSpacing(0);
    eraColumn->addWidget(m_bc);
    eraColumn->addWidget(m_ad);
    dateGrid->addLayout(eraColumn, 0, 3, 2, 1);
    dateGrid->setColumnStretch(4, 1);
    dateGrid->addWidget(m_calendar, 0, 5, 2, 1, Qt::AlignCenter);

    // Each label is centred under its own box, with room between them, so that the three do
    // not read as one phrase.
    auto* timeGrid = new QGridLayout;
    timeGrid->setHorizontalSpacing(10);
    timeGrid->addWidget(m_hour, 0, 0, Qt::AlignHCenter);
    timeGrid->addWidget(label(dateGroup, ":"), 0, 1);
    timeGrid->addWidget(m_minute, 0, 2, Qt::AlignHCenter);
    timeGrid->addWidget(m_zone, 0, 3);
    timeGrid->addWidget(m_daylightSaving, 0, 4);
    timeGrid->addWidget(label(dateGroup, "hr (24hr)"), 1, 0, Qt::AlignHCenter);
    timeGrid->addWidget(label(dateGroup, "minutes"), 1, 2, Qt::AlignHCenter);
    timeGrid->addWidget(label(dateGroup, "Time Zone"), 1, 3, Qt::AlignHCenter);
    timeGrid->setColumnStretch(3, 1);

    auto* dateLayout = new QVBoxLayout(dateGroup);
    dateLayout->addLayout(dateGrid);
    dateLayout->addSpacing(6);
    dateLayout->addLayout(timeGrid);

    // Birth place.
    auto* placeGroup = new QGroupBox(QStringLiteral("Birth Place:"), this);
    auto* longitudeGroup = new QGroupBox(QStringLiteral("Longitude:"), placeGroup);
    m_longitudeDegrees = intEdit(longitudeGroup, "longitudeDegreesBox", 4, 0, 180, true);
    m_longitudeMinutes = intEdit(longitudeGroup, "longitudeMinutesBox", 3, 0, 59, true);
    m_west = radio(longitudeGroup, "westButton", "&West");
    m_east = radio(longitudeGroup, "eastButton", "&East");
    auto* eastWest = new QButtonGroup(this);
    eastWest->addButton(m_west);
    eastWest->addButton(m_east);
    auto* latitudeGroup = new QGroupBox(QStringLiteral("Latitude:"), placeGroup);
    m_latitudeDegrees = intEdit(latitudeGroup, "latitudeDegreesBox", 3, 0, 90, true);
    m_latitudeMinutes = intEdit(latitudeGroup, "latitudeMinutesBox", 3, 0, 59, true);
    m_north = radio(latitudeGroup, "northButton", "&North");
    m_south = radio(latitudeGroup, "southButton", "&South");
    auto* northSouth = new QButtonGroup(this);
    northSouth->addButton(m_north);
    northSouth->addButton(m_south);
    m_place = new QLineEdit(placeGroup);
    m_place->setObjectName(QStringLiteral("placeName"));
    m_place->setMaxLength(ChartTextMaxChars);
    m_lookUp = new PromptButton(QStringLiteral("&Look up >>>"), placeGroup);
    m_lookUp->setObjectName(QStringLiteral("lookUpButton"));

    auto coordinateLayout = [](QGroupBox* group, IntEdit* degrees, IntEdit* minutes, QRadioButton* first,
                               QRadioButton* second) {
        auto* grid = new QGridLayout(group);
        grid->addWidget(degrees, 0, 0, Qt::AlignHCenter);
        grid->addWidget(minutes, 0, 1, Qt::AlignHCenter);
        grid->addWidget(label(group, "Deg"), 1, 0, Qt::AlignHCenter);
        grid->addWidget(label(group, "Min"), 1, 1, Qt::AlignHCenter);
        grid->addWidget(first, 0, 2);
        grid->addWidget(second, 1, 2);
        grid->setColumnMinimumWidth(2, 70);
    };
    coordinateLayout(longitudeGroup, m_longitudeDegrees, m_longitudeMinutes, m_west, m_east);
    coordinateLayout(latitudeGroup, m_latitudeDegrees, m_latitudeMinutes, m_north, m_south);

    auto* placeLayout = new QVBoxLayout(placeGroup);
    auto* coordinates = new QHBoxLayout;
    coordinates->addWidget(longitudeGroup);
    coordinates->addWidget(latitudeGroup);
    placeLayout->addLayout(coordinates);
    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(label(placeGroup, "Name:"));
    placeRow->addWidget(m_place, 1);
    placeLayout->addLayout(placeRow);
    placeLayout->addWidget(m_lookUp, 0, Qt::AlignHCenter);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    for (QPushButton* button : {cancel, m_calendar, m_lookUp})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(3);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* top = new QVBoxLayout(this);
    top->addWidget(personGroup);
    top->addWidget(dateGroup);
    top->addWidget(placeGroup);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &ChartEdit::accept);
    connect(cancel, &QPushButton::clicked, this, &ChartEdit::reject);
    connect(m_calendar, &QPushButton::clicked, this, &ChartEdit::onCalendar);
    connect(m_lookUp, &QPushButton::clicked, this, &ChartEdit::onLookUp);

    fillControls();
}

void ChartEdit::fillControls()
{
    const BirthData& c = m_birth;
    m_place->setText(toQString(c.place));
    m_month->setCurrentIndex(c.birthDate.month - 1);
    m_day->setCurrentIndex(c.birthDate.day - 1);
    m_year->setText(QString::asprintf("%4d", c.birthDate.year));
    m_hour->setText(QString::asprintf("%2d", c.localTime.hour));
    m_minute->setText(QString::asprintf("%2d", c.localTime.minute));
    (c.beforeChrist ? m_bc : m_ad)->setChecked(true);
    m_zone->setCurrentIndex(c.zone >= 0 && c.zone < ZoneCount ? c.zone : -1);
    // A zero flag leaves the box as the user set it.
    if (c.daylightSaving)
        m_daylightSaving->setChecked(true);
    m_name->setText(toQString(c.name));
    m_longitudeDegrees->setText(threeDigits(c.longitude.degrees));
    m_longitudeMinutes->setText(twoDigits(c.longitude.minutes));
    m_latitudeDegrees->setText(twoDigits(c.latitude.degrees));
    m_latitudeMinutes->setText(twoDigits(c.latitude.minutes));
    (c.longitude.direction == West ? m_west : m_east)->setChecked(true);
    (c.latitude.direction == North ? m_north : m_south)->setChecked(true);
}

QList<ChartEdit::Problem> ChartEdit::readControls(BirthData& into) const
{
    QList<Problem> problems;
    // Typing keeps these boxes in range; pasted text is checked here. An emptied box would
    // otherwise keep the old value without a word.
    auto readNumber = [&problems, this](IntEdit* box, const char* what, auto store) {
        const QString text = box->text().trimmed();
        const QString range = QStringLiteral("a whole number from %1 to %2").arg(box->minimum()).arg(box->maximum());
        if (text.isEmpty()) {
            problems.append({box, QStringLiteral("Please enter the %1 (%2).").arg(QLatin1String(what), range)});
            return;
        }
        const bool digits = std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        const auto value = leadingInteger(text);
        // Year 0 is left to the birth rules, which say which years come either side of it.
        const int lowest = box == m_year ? 0 : box->minimum();
        if (!digits || !value || *value < lowest || *value > box->maximum()) {
            problems.append({box, QStringLiteral("The %1 must be %2.").arg(QLatin1String(what), range)});
            return;
        }
        store(static_cast<int>(*value));
    };

    into.place = toUtf8(m_place->text());
    if (m_month->currentIndex() >= 0)
        into.birthDate.month = static_cast<std::int8_t>(m_month->currentIndex() + 1);
    if (m_day->currentIndex() >= 0)
        into.birthDate.day = static_cast<std::int8_t>(m_day->currentIndex() + 1);
    readNumber(m_year, "year", [&into](int v) { into.birthDate.year = v; });
    readNumber(m_hour, "hour", [&into](int v) { into.localTime.hour = v; });
    readNumber(m_minute, "minute", [&into](int v) { into.localTime.minute = v; });
    into.beforeChrist = m_bc->isChecked();
    if (m_zone->currentIndex() >= 0)
        into.zone = m_zone->currentIndex();
    into.daylightSaving = m_daylightSaving->isChecked();
    into.name = toUtf8(m_name->text());
    readNumber(m_longitudeDegrees, "longitude in degrees",
               [&into](int v) { into.longitude.degrees = static_cast<std::int16_t>(v); });
    readNumber(m_longitudeMinutes, "longitude's minutes",
               [&into](int v) { into.longitude.minutes = static_cast<std::int16_t>(v); });
    readNumber(m_latitudeDegrees, "latitude in degrees",
               [&into](int v) { into.latitude.degrees = static_cast<std::int16_t>(v); });
    readNumber(m_latitudeMinutes, "latitude's minutes",
               [&into](int v) { into.latitude.minutes = static_cast<std::int16_t>(v); });
    into.longitude.direction = m_west->isChecked() ? West : East;
    into.latitude.direction = m_north->isChecked() ? North : South;
    return problems;
}

std::optional<ChartEdit::Problem> ChartEdit::checkBirthData(const BirthData& c) const
{
    const std::optional<BirthRefusal> refusal = birthRefusal(c);
    if (!refusal)
        return std::nullopt;

    const bool isName = refusal->field == BirthField::Name;
    QLineEdit* const text = isName ? m_name : m_place;
    const QLatin1String what(isName ? "person's name" : "place name");
    const bool isLongitude = refusal->field == BirthField::Longitude;
    const int year = c.birthDate.year;
    const int month = c.birthDate.month;
    switch (refusal->rule) {
    case BirthRule::TextNotUtf8:
    case BirthRule::TextNotWindows1252:
        return Problem{text, QStringLiteral("The %1 holds the character \"%2\", which a chart file cannot store.")
                                 .arg(what, firstUnstorable(text->text()))};
    case BirthRule::TextControlCharacter:
        return Problem{text, QStringLiteral("The %1 holds a control character (a tab, line break, escape or the like), "
                                            "which a chart cannot hold.")
                                 .arg(what)};
    case BirthRule::TextTooLong:
        return Problem{text, QStringLiteral("The %1 is longer than %2 characters.").arg(what).arg(ChartTextMaxChars)};
    case BirthRule::NoSuchMonth: return Problem{m_month, QStringLiteral("Please choose the month of birth.")};
    case BirthRule::NoSuchDay: return Problem{m_day, QStringLiteral("Please choose the day of birth.")};
    case BirthRule::NoYearZero:
        return Problem{m_year, QStringLiteral("There is no year 0: the year before 1 AD is 1 BC.")};
    case BirthRule::ReformGap:
        return Problem{m_day, QStringLiteral("October 5 to 14, 1582 do not exist: "
                                             "the calendar reform followed October 4 with October 15.")};
    case BirthRule::DayBeyondMonth:
        return Problem{
            m_day, QStringLiteral("%1 %2 has %3 days.")
                       .arg(toQString(MonthNames[static_cast<std::size_t>(month - 1)]), yearText(year, c.beforeChrist))
                       .arg(daysInMonth(month, astronomicalYear(year, c.beforeChrist)))};
    case BirthRule::HourRange: return Problem{m_hour, QStringLiteral("The hour must be a whole number from 0 to 23.")};
    case BirthRule::MinuteRange:
        return Problem{m_minute, QStringLiteral("The minute must be a whole number from 0 to 59.")};
    case BirthRule::SecondRange:  // from a chart file; they have no box of their own
        return Problem{m_minute,
                       QStringLiteral("The time's seconds (%1) are not within 0 to 59.").arg(c.localTime.second)};
    case BirthRule::NoSuchZone: return Problem{m_zone, QStringLiteral("Please choose a time zone.")};
    case BirthRule::MinutesRange:
        return Problem{isLongitude ? m_longitudeMinutes : m_latitudeMinutes,
                       QStringLiteral("The %1's minutes must be a whole number from 0 to 59.")
                           .arg(QLatin1String(isLongitude ? "longitude" : "latitude"))};
    case BirthRule::BeyondLimit:
        return isLongitude
                   ? Problem{m_longitudeDegrees, QStringLiteral("A longitude cannot be more than 180\u00B000'.")}
                   : Problem{m_latitudeDegrees, QStringLiteral("A latitude cannot be more than 90\u00B000'.")};
    }
    return std::nullopt;
}

void ChartEdit::accept()
{
    BirthData read = m_birth;
    // A box that holds no number says so first; the birth rules then judge the rest, texts included.
    std::optional<Problem> problem;
    for (const Problem& unread : readControls(read))
        if (!problem && !unread.message.isEmpty())
            problem = unread;
    // There is no box for the seconds: a time typed anew starts on its minute.
    if (read.localTime.hour != m_given.localTime.hour || read.localTime.minute != m_given.localTime.minute)
        read.localTime.second = 0;
    if (!problem)
        problem = checkBirthData(read);
    if (problem) {
        m_messages.show(this, problem->message);
        problem->control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(problem->control))
            edit->selectAll();
        return;
    }
    offerClockCheck(read);
    m_birth = std::move(read);
    QDialog::accept();
}

void ChartEdit::offerClockCheck(BirthData& birth)
{
    // The place is known to the atlas when it was just looked up, or when its text and coordinates
    // are those of an atlas line (a chart opened or entered before).
    const bool lookedUp = !m_atlasZone.isEmpty() && m_place->text() == m_atlasZonePlace;
    QString zone = lookedUp ? m_atlasZone : QString();
    int standardZone = lookedUp ? m_atlasStandardZone : -1;
    if (!lookedUp) {
        const QString line =
            atlasLineOfPlace(atlasPath(m_programDirectory), m_place->text(), birth.longitude, birth.latitude);
        zone = atlasZoneName(line);
        standardZone = parseAtlasLine(line).zone;
    }
    if (zone.isEmpty())
        return;
    const std::string ianaZone = toUtf8(zone);
    const ClockCheck check = checkClock(ianaZone, birth, standardZone, lookedUp);
    const std::string question = clockQuestion(check, birth, toUtf8(m_place->text()), ianaZone);
    if (question.empty())
        return;
    if (m_messages.show(this, toQString(question), QStringLiteral("Zodiara"), MessageService::Buttons::YesNo)
        != MessageService::Result::Yes)
        return;
    birth = check.proposed;
    // The boxes show what OK takes.
    m_birth = birth;
    fillControls();
    m_daylightSaving->setChecked(birth.daylightSaving);
}

void ChartEdit::onCalendar()
{
    // Read what was typed first, so that the refill after the picker shows it again.
    // Text that cannot be taken yet is put back after the refill rather than lost.
    QHash<QLineEdit*, QString> unread;
    for (const Problem& problem : readControls(m_birth))
        if (auto* edit = qobject_cast<QLineEdit*>(problem.control))
            unread.insert(edit, edit->text());

    CalendarDialog picker(this, m_birth.birthDate, HighestYear, m_birth.beforeChrist);
    if (picker.exec() != QDialog::Accepted)
        return;
    m_birth.beforeChrist = picker.beforeChrist();
    fillControls();
    for (auto it = unread.cbegin(); it != unread.cend(); ++it)
        it.key()->setText(it.value());
}

void ChartEdit::onLookUp()
{
    AtlasLookupDialog lookup(this, atlasPath(m_programDirectory), m_messages);
    if (lookup.exec() != QDialog::Accepted || lookup.chosenLine().isEmpty())
        return;
    const AtlasLine line = parseAtlasLine(lookup.chosenLine());
    m_atlasZone = atlasZoneName(lookup.chosenLine());
    m_atlasZonePlace = line.place;
    m_atlasStandardZone = line.zone;

    m_place->setText(line.place);
    // A name the file cannot hold stays in the box; OK then says why.
    m_birth.place = toUtf8(line.place);
    if (!line.hasLongitude)
        return;
    m_longitudeDegrees->setText(line.longitudeDegrees);
    (line.west ? m_west : m_east)->setChecked(true);
    m_longitudeMinutes->setText(line.longitudeMinutes);
    if (!line.hasLatitude)
        return;
    m_latitudeDegrees->setText(line.latitudeDegrees);
    (line.north ? m_north : m_south)->setChecked(true);
    m_latitudeMinutes->setText(line.latitudeMinutes);
    if (line.zone >= 0)
        m_zone->setCurrentIndex(line.zone);
}

}  // namespace zodiara
