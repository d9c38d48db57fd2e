// The compatibility box: your birthday range and your partner's, and the text for the pair.
#pragma once

#include <QDialog>

#include "chart/chart.h"
#include "ui/centeronscreen.h"

class QComboBox;
class QLabel;

namespace zodiara {

class CompatibilityDialog : public CentredDialog {
    Q_OBJECT

public:
    // Opens on Aries with Aries.
    explicit CompatibilityDialog(QWidget* parent);

    Sign yourSign() const { return m_yourSign; }
    Sign partnerSign() const { return m_partnerSign; }

protected:
    void beforeFirstShow() override;

private:
    void onYourSignChosen(int row);
    void onPartnerSignChosen(int row);
    void showCompatibility();

    Sign m_yourSign = Sign::Aries;
    Sign m_partnerSign = Sign::Aries;
    QComboBox* m_yours;
    QComboBox* m_partners;
    QLabel* m_text;
};

}  // namespace zodiara
