// The compatibility box: your birthday range and your partner's, and the text for the pair.
#pragma once

#include <QDialog>

#include "ui/centeronscreen.h"

class QComboBox;
class QLabel;

namespace zodiara {

class CompatibilityDialog : public CentredDialog {
    Q_OBJECT

public:
    // Opens on Aries with Aries.
    explicit CompatibilityDialog(QWidget* parent);

    int yourSign() const { return m_yourSign; }
    int partnerSign() const { return m_partnerSign; }

protected:
    void beforeFirstShow() override;

private:
    void onYourSignChosen(int index);
    void onPartnerSignChosen(int index);
    void showCompatibility();

    int m_yourSign = 0;
    int m_partnerSign = 0;
    QComboBox* m_yours;
    QComboBox* m_partners;
    QLabel* m_text;
};

}  // namespace zodiara
