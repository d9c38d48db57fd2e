// An edit box for whole numbers that takes back any keystroke leaving its range.
#pragma once

#include <QLineEdit>

#include <optional>

namespace zodiara {

// The integer the text begins with after blanks, as a C scanf("%d") would read it
// (an optional sign, then digits); nullopt when there is none. Saturates far outside int range.
std::optional<long long> leadingInteger(QStringView text);

class IntEdit : public QLineEdit {
    Q_OBJECT
public:
    // `textLimit` counts a terminating NUL, so 3 admits two characters.
    IntEdit(QWidget* parent, int textLimit, int minimum, int maximum);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // True when the text begins with a number outside [minimum, maximum].
    bool holdsOutOfRange() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_minimum;
    int m_maximum;
};

}  // namespace zodiara
