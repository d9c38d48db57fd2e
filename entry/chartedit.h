// "Enter Chart Data": edits a copy of a birth; the caller takes birthData() when OK found every
// entry valid.
#pragma once

#include "chart/chart.h"

#include <QDialog>

#include "ui/centeronscreen.h"
#include <QList>
#include <QString>

#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zodiara {

class MessageService;
class IntEdit;

class ChartEdit : public CentredDialog {
    Q_OBJECT
public:
    // `programDirectory` holds atlas.txt; `messages` shows every message of this dialog and its lookup.
    ChartEdit(QWidget* parent, const BirthData& birth, const QString& programDirectory, MessageService& messages);

    // After OK: the birth as entered and checked.
    const BirthData& birthData() const { return m_birth; }

    void accept() override;

private:
    struct Problem {
        QWidget* control;
        QString message;  // empty for a text the chart cannot hold: the birth rules say why
    };

    void fillControls();
    // Reads every box into `into`; a box whose text cannot be taken, or an empty numeric box,
    // leaves its field alone and adds a problem.
    QList<Problem> readControls(BirthData& into) const;
    // The birth rules on `birth`, in words that point at a box.
    std::optional<Problem> checkBirthData(const BirthData& birth) const;
    // For a place the atlas knows, asks once whether to take the entry that gives the Universal Time
    // the time-zone database says its clocks kept (zone and daylight saving, local mean time, or the
    // birth converted to Universal Time).
    void offerClockCheck(BirthData& birth);
    void onCalendar();
    void onLookUp();

    const BirthData m_given;
    BirthData m_birth;
    QString m_programDirectory;
    MessageService& m_messages;
    // The IANA zone of the chosen atlas line, good while the place box shows that line's name.
    QString m_atlasZone;
    QString m_atlasZonePlace;
    int m_atlasStandardZone = -1;

    QLineEdit* m_name = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_day = nullptr;
    IntEdit* m_year = nullptr;
    QRadioButton* m_bc = nullptr;
    QRadioButton* m_ad = nullptr;
    QPushButton* m_calendar = nullptr;
    IntEdit* m_hour = nullptr;
    IntEdit* m_minute = nullptr;
    QComboBox* m_zone = nullptr;
    QCheckBox* m_daylightSaving = nullptr;
    IntEdit* m_longitudeDegrees = nullptr;
    IntEdit* m_longitudeMinutes = nullptr;
    QRadioButton* m_west = nullptr;
    QRadioButton* m_east = nullptr;
    IntEdit* m_latitudeDegrees = nullptr;
    IntEdit* m_latitudeMinutes = nullptr;
    QRadioButton* m_north = nullptr;
    QRadioButton* m_south = nullptr;
    QLineEdit* m_place = nullptr;
    QPushButton* m_lookUp = nullptr;
};

}  // namespace zodiara
