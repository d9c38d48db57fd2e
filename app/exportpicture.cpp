#include "app/exportpicture.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>

#include <tuple>

#include "chart/fileio.h"
#include "display/chartexport.h"

namespace zodiara {

PictureSizeDialog::PictureSizeDialog(QWidget* parent, QSize size)
    : QDialog(parent), m_width(new QSpinBox(this)), m_height(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("Picture Size"));
    for (const auto& [box, value, name] :
         {std::tuple(m_width, size.width(), "widthBox"), std::tuple(m_height, size.height(), "heightBox")}) {
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(16, MaxExportSide);
        box->setSuffix(QStringLiteral(" px"));
        box->setValue(value);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    form->addRow(buttons);
}

QSize PictureSizeDialog::pictureSize() const { return {m_width->value(), m_height->value()}; }

bool isPdfPath(const QString& path) { return QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0; }

QString exportPicture(const QString& path, const Chart& chart, const DerivedTables& tables, bool showAspects,
                      QSize size)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QString error;
    if (suffix == u"svg")
        error = encodeChartSvg(chart, tables, size, showAspects, bytes);
    else if (suffix == u"pdf")
        error = encodeChartPdf(chart, tables, PaperSize::A4, showAspects, bytes);
    else
        error = encodeChartPng(chart, tables, size, showAspects, bytes);
    if (error.isEmpty()) {
        const std::string reason =
            replaceFile(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
        error = QString::fromStdString(reason);
    }
    if (error.isEmpty())
        return {};
    return QStringLiteral("Cannot write the picture %1:\n%2.").arg(QDir::toNativeSeparators(path), error);
}

}  // namespace zodiara
