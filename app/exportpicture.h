// File ▸ Export Picture: the chart as the command line draws it, PNG or SVG at a size the user
// picks (the view's by default), or the printed pages as PDF, written all or nothing.
#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include "chart/pipeline.h"

class QSpinBox;

namespace zodiara {

// Width and height of the picture, from 16 to the largest picture drawn.
class PictureSizeDialog : public QDialog {
    Q_OBJECT
public:
    PictureSizeDialog(QWidget* parent, QSize size);
    QSize pictureSize() const;

private:
    QSpinBox* m_width;
    QSpinBox* m_height;
};

// Whether the path names a PDF file, whose size is the paper's.
bool isPdfPath(const QString& path);

// Writes the picture the path's suffix asks for (.png, .svg, .pdf; anything else is a PNG) through
// a temporary file; the message for the user on failure, empty on success.
QString exportPicture(const QString& path, const Chart& chart, const DerivedTables& tables, bool showAspects,
                      QSize size);

}  // namespace zodiara
