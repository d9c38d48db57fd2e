// The sun-sign traits box: pick the range a birthday falls in, read that sign's lore.
#pragma once

#include <QDialog>

#include "chart/chart.h"
#include "ui/centeronscreen.h"

class QComboBox;
class QLabel;

namespace zodiara {

class MessageService;
class PictureLabel;

class TraitsDialog : public CentredDialog {
    Q_OBJECT

public:
    // Opens on Aries; `messages` reports a sign picture that cannot be loaded.
    TraitsDialog(QWidget* parent, MessageService& messages);

    Sign currentSign() const { return m_currentSign; }

protected:
    void beforeFirstShow() override;

private:
    void onRangeChosen(int row);
    void showSign();

    Sign m_currentSign = Sign::Aries;
    QComboBox* m_ranges;
    QLabel* m_yourSign;
    PictureLabel* m_picture;
    QLabel* m_quality;
    QLabel* m_element;
    QLabel* m_principle;
    QLabel* m_ruler;
    QLabel* m_opposite;
    QLabel* m_keyPhrase;
    QLabel* m_keyWord;
    QLabel* m_luckyNumbers;
    QLabel* m_anatomy;
    QLabel* m_positiveTraits;
    QLabel* m_negativeTraits;
};

}  // namespace zodiara
