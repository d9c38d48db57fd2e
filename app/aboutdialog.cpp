#include "app/aboutdialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/precise.h"
#include "lore/picturelabel.h"
#include "resources/glyphs.h"
#include "ui/centeronscreen.h"
#include "version.h"

namespace zodiara {

QString aboutNotice()
{
    return QStringLiteral("Copyright \u00a9 the Zodiara authors. Free software under the\n"
                          "GNU Affero General Public License, version 3 or later.\n"
                          "Precise positions: %1, also under the AGPL.\n"
                          "Place atlas: data from GeoNames (www.geonames.org), CC BY 4.0, modified.\n"
                          "Time zones: IANA time zone database.")
        .arg(QString::fromStdString(preciseEphemerisVersion()));
}

AboutDialog::AboutDialog(QWidget* parent, MessageService& messages) : CentredDialog(parent)
{
    setWindowTitle(QStringLiteral("Zodiara"));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* picture = new PictureLabel(panel, aboutPictureId, false, messages);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    auto* version = new QLabel(QStringLiteral("Zodiara V") + QLatin1String(ProgramVersion), panel);
    version->setObjectName(QStringLiteral("versionText"));
    version->setAlignment(Qt::AlignHCenter);
    auto* notice = new QLabel(aboutNotice(), panel);
    notice->setObjectName(QStringLiteral("noticeText"));
    notice->setAlignment(Qt::AlignHCenter);
    notice->setTextFormat(Qt::PlainText);
    QFont small = notice->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    notice->setFont(small);

    auto* inside = new QVBoxLayout(panel);
    inside->addWidget(picture, 0, Qt::AlignHCenter);
    inside->addWidget(version);
    inside->addWidget(notice);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zodiara
