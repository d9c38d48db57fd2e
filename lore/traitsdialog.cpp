#include "lore/traitsdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/chart.h"
#include "lore/dialogunits.h"
#include "lore/lorewidgets.h"
#include "lore/picturelabel.h"
#include "lore/signtexts.h"
#include "resources/glyphs.h"
#include "ui/centeronscreen.h"

namespace zodiara {

namespace {

QStringList everySign(std::string_view (*text)(Sign sign))
{
    QStringList texts;
    for (int i = 0; i < SignCount; ++i)
        texts << toQString(text(Sign{i}));
    return texts;
}

QStringList textsOfEverySign(TraitKind kind)
{
    QStringList texts;
    for (int i = 0; i < SignCount; ++i)
        texts << toQString(signTrait(Sign{i}, kind));
    return texts;
}

}  // namespace

TraitsDialog::TraitsDialog(QWidget* parent, MessageService& messages) : CentredDialog(parent)
{
    setWindowTitle(QStringLiteral("Zodiara"));
    const QFontMetrics metrics = fontMetrics();
    const auto units = [&metrics](int width, int height) { return dialogUnits(metrics, width, height); };

    auto* group = new QGroupBox(QStringLiteral("What's your sign ?"));

    m_ranges = new QComboBox;
    m_ranges->setObjectName(QStringLiteral("ranges"));
    for (std::string_view range : SignDateRanges)
        m_ranges->addItem(toQString(range));
    auto* rangeLabel = new QLabel(QStringLiteral("Select range for your birthdate :"));
    rangeLabel->setBuddy(m_ranges);

    m_yourSign = new QLabel(QStringLiteral("Your sign is"));
    m_yourSign->setObjectName(QStringLiteral("yourSign"));
    m_yourSign->setAlignment(Qt::AlignCenter);
    m_yourSign->setTextFormat(Qt::PlainText);
    QStringList answers;
    for (int i = 0; i < SignCount; ++i)
        answers << QString::fromStdString(yourSignText(Sign{i}));
    m_yourSign->setMinimumWidth(widestLine(metrics, answers.join(QLatin1Char('\n')).split(QLatin1Char('\n')), 4));

    m_picture = new PictureLabel(this, signGlyphId(0), true, messages);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFixedSize(units(28, 21));

    auto* top = new QHBoxLayout;
    auto* chooser = new QVBoxLayout;
    chooser->addWidget(rangeLabel);
    chooser->addWidget(m_ranges);
    chooser->addStretch();
    top->addLayout(chooser);
    top->addWidget(m_yourSign, 1);
    top->addWidget(m_picture, 0, Qt::AlignVCenter);

    const auto field = [](const char* name) { return sunkenField(QLatin1String(name)); };
    m_quality = field("quality");
    m_element = field("element");
    m_principle = field("principle");
    m_ruler = field("ruler");
    m_opposite = field("opposite");
    m_keyPhrase = field("keyPhrase");
    m_keyWord = field("keyWord");
    m_luckyNumbers = field("luckyNumbers");
    m_luckyNumbers->setAlignment(Qt::AlignCenter);
    m_anatomy = field("anatomy");
    m_positiveTraits = field("positiveTraits");
    m_negativeTraits = field("negativeTraits");

    // Short fields are as wide as their longest value for any sign.
    const int inner = 2 * (m_quality->frameWidth() + m_quality->margin()) + 2;
    const auto fitShort = [&](QLabel* label, const QStringList& values, int minimumUnits) {
        label->setMinimumWidth(std::max(widestLine(metrics, values, inner / 2), units(minimumUnits, 0).width()));
    };
    fitShort(m_quality, {QStringLiteral("Cardinal"), QStringLiteral("Fixed"), QStringLiteral("Mutable")}, 56);
    fitShort(m_element,
             {QStringLiteral("Fire"), QStringLiteral("Earth"), QStringLiteral("Air"), QStringLiteral("Water")}, 56);
    fitShort(m_principle, {QStringLiteral("Active"), QStringLiteral("Passive")}, 56);
    fitShort(m_ruler, everySign([](Sign s) { return bodyName(rulingBody(s)); }), 56);
    fitShort(m_opposite, everySign(signName), 56);
    fitShort(m_keyPhrase, textsOfEverySign(TraitKind::KeyPhrase), 56);
    fitShort(m_keyWord, textsOfEverySign(TraitKind::KeyWord), 56);
    fitShort(m_luckyNumbers, textsOfEverySign(TraitKind::LuckyNumbers), 88);

    // Long fields wrap; showEvent makes them tall enough for every sign once their width is known.
    for (auto [field, minimumUnits] : {std::pair{m_anatomy, 20}, {m_positiveTraits, 27}, {m_negativeTraits, 27}}) {
        field->setWordWrap(true);
        field->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        field->setMinimumHeight(units(0, minimumUnits).height());
    }
    m_positiveTraits->setMinimumWidth(units(212, 0).width());

    auto* facts = new QGridLayout;
    facts->setHorizontalSpacing(units(4, 0).width());
    const auto label = [](const char* text) { return new QLabel(QLatin1String(text)); };
    facts->addWidget(label("Quality:"), 0, 0);
    facts->addWidget(m_quality, 0, 1);
    facts->addWidget(label("Element:"), 0, 2);
    facts->addWidget(m_element, 0, 3);
    facts->addWidget(label("Principle:"), 1, 0);
    facts->addWidget(m_principle, 1, 1);
    facts->addWidget(label("Ruled by:"), 1, 2);
    facts->addWidget(m_ruler, 1, 3);
    facts->addWidget(label("Opposite sign:"), 2, 0);
    facts->addWidget(m_opposite, 2, 1);
    facts->addWidget(label("Key phrase:"), 3, 0);
    facts->addWidget(m_keyPhrase, 3, 1);
    facts->addWidget(label("Key word:"), 3, 2);
    facts->addWidget(m_keyWord, 3, 3);
    facts->addWidget(label("Lucky Numbers:"), 4, 0);
    facts->addWidget(m_luckyNumbers, 4, 1, 1, 2);
    facts->addWidget(label("Anatomy:"), 5, 0, Qt::AlignTop);
    facts->addWidget(m_anatomy, 5, 1, 1, 3);
    facts->setColumnStretch(4, 1);

    auto* traits = new QVBoxLayout;
    traits->setSpacing(2);
    traits->addSpacing(units(0, 3).height());
    traits->addWidget(label("Positive traits:"));
    traits->addWidget(m_positiveTraits);
    traits->addSpacing(units(0, 3).height());
    traits->addWidget(label("Negative traits:"));
    traits->addWidget(m_negativeTraits);

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(top);
    groupLayout->addSpacing(units(0, 3).height());
    groupLayout->addLayout(facts);
    groupLayout->addLayout(traits);

    QHBoxLayout* buttons = centredOkButton(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_currentSign = Sign::Aries;
    m_ranges->setCurrentIndex(0);
    connect(m_ranges, &QComboBox::currentIndexChanged, this, &TraitsDialog::onRangeChosen);
    showSign();
}

void TraitsDialog::beforeFirstShow()
{
    // The layout has settled the widths; now the heights can be fitted, before the first paint.
    for (auto [field, kind] : {std::pair{m_anatomy, TraitKind::Anatomy},
                               {m_positiveTraits, TraitKind::PositiveTraits},
                               {m_negativeTraits, TraitKind::NegativeTraits}})
        reserveHeightFor(field, field->width(), textsOfEverySign(kind));
    layout()->activate();
}

void TraitsDialog::onRangeChosen(int row)
{
    if (row < 0 || row == index(m_currentSign))
        return;
    m_currentSign = Sign{row};
    showSign();
}

void TraitsDialog::showSign()
{
    const Sign sign = m_currentSign;
    m_picture->loadPicture(signGlyphId(index(sign)));
    m_picture->repaint();
    const SignTraits traits = signTraits(sign);
    m_yourSign->setText(QString::fromStdString(yourSignText(sign)));
    m_quality->setText(toQString(traits.quality));
    m_element->setText(toQString(traits.element));
    m_principle->setText(toQString(traits.principle));
    m_ruler->setText(toQString(traits.ruler));
    m_opposite->setText(toQString(traits.opposite));
    m_anatomy->setText(toQString(traits.anatomy));
    m_keyPhrase->setText(toQString(traits.keyPhrase));
    m_keyWord->setText(toQString(traits.keyWord));
    m_positiveTraits->setText(toQString(traits.positiveTraits));
    m_negativeTraits->setText(toQString(traits.negativeTraits));
    m_luckyNumbers->setText(toQString(traits.luckyNumbers));
}

}  // namespace zodiara
