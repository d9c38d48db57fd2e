#include "lore/compatibilitydialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/chart.h"
#include "lore/compatibilitytexts.h"
#include "lore/dialogunits.h"
#include "lore/lorewidgets.h"
#include "ui/centeronscreen.h"

namespace zodiara {

CompatibilityDialog::CompatibilityDialog(QWidget* parent) : CentredDialog(parent)
{
    setWindowTitle(QStringLiteral("Zodiara"));
    const QFontMetrics metrics = fontMetrics();

    const auto signList = [](const char* name) {
        auto* list = new QComboBox;
        list->setObjectName(QLatin1String(name));
        for (std::string_view entry : SignDateRangesWithName)
            list->addItem(toQString(entry));
        return list;
    };
    m_yours = signList("yourSign");
    m_partners = signList("partnerSign");
    auto* yoursLabel = new QLabel(QStringLiteral("Your sign:"));
    yoursLabel->setBuddy(m_yours);
    auto* partnersLabel = new QLabel(QStringLiteral("Your partner's sign:"));
    partnersLabel->setBuddy(m_partners);

    m_text = sunkenField(QStringLiteral("compatibility"));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // At least as wide as the original box; showEvent fits the height to the longest text.
    m_text->setMinimumSize(dialogUnits(metrics, 284, 52));
    auto* textLabel = new QLabel(QStringLiteral("Compatibility:"));

    auto* choices = new QGridLayout;
    choices->setVerticalSpacing(2);
    choices->setHorizontalSpacing(dialogUnits(metrics, 15, 0).width());
    choices->addWidget(yoursLabel, 0, 0);
    choices->addWidget(m_yours, 1, 0);
    choices->addWidget(partnersLabel, 0, 1);
    choices->addWidget(m_partners, 1, 1);

    QHBoxLayout* buttons = centredOkButton(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addSpacing(dialogUnits(metrics, 0, 6).height());
    layout->addWidget(textLabel);
    layout->addWidget(m_text);
    layout->addSpacing(dialogUnits(metrics, 0, 6).height());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_yours->setCurrentIndex(0);
    m_partners->setCurrentIndex(0);
    connect(m_yours, &QComboBox::currentIndexChanged, this, &CompatibilityDialog::onYourSignChosen);
    connect(m_partners, &QComboBox::currentIndexChanged, this, &CompatibilityDialog::onPartnerSignChosen);
    showCompatibility();
}

void CompatibilityDialog::beforeFirstShow()
{
    // The layout has settled the width; the height follows before the first paint.
    QStringList texts;
    for (std::string_view text : compatibilityTexts())
        texts << toQString(text);
    reserveHeightFor(m_text, m_text->width(), texts);
    layout()->activate();
}

void CompatibilityDialog::onYourSignChosen(int row)
{
    if (row < 0 || row == index(m_yourSign))
        return;
    m_yourSign = Sign{row};
    showCompatibility();
}

void CompatibilityDialog::onPartnerSignChosen(int row)
{
    if (row < 0 || row == index(m_partnerSign))
        return;
    m_partnerSign = Sign{row};
    showCompatibility();
}

void CompatibilityDialog::showCompatibility()
{
    m_text->setText(toQString(compatibilityText(m_yourSign, m_partnerSign)));
}

}  // namespace zodiara
