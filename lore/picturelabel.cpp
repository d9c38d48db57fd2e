#include "lore/picturelabel.h"

#include <QPainter>

#include "resources/glyphs.h"
#include "ui/messageservice.h"

namespace zodiara {

namespace {

QImage pictureResource(int resourceId)
{
    if (resourceId == aboutPictureId)
        return aboutPicture();
    if (hasGlyph(resourceId))
        return glyphImage(resourceId);
    return {};
}

}  // namespace

PictureLabel::PictureLabel(QWidget* parent, int resourceId, bool stretch, MessageService& messages)
    : QWidget(parent), m_messages(messages), m_stretch(stretch)
{
    setSizePolicy(stretch ? QSizePolicy::Preferred : QSizePolicy::Fixed,
                  stretch ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    loadPicture(resourceId);
}

bool PictureLabel::loadPicture(int resourceId)
{
    m_picture = pictureResource(resourceId);
    m_resourceId = m_picture.isNull() ? -1 : resourceId;
    if (!m_stretch && !m_picture.isNull())
        setFixedSize(m_picture.size());
    updateGeometry();
    update();
    if (m_picture.isNull()) {
        m_messages.show(this, QStringLiteral("Cannot access bitmap resource"));
        return false;
    }
    return true;
}

QSize PictureLabel::sizeHint() const { return m_picture.isNull() ? QSize(0, 0) : m_picture.size(); }

void PictureLabel::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (!m_stretch) {
        painter.drawImage(0, 0, m_picture);
        return;
    }
    // A one-bit glyph blown up several times looks blocky; its outline master stays smooth at
    // any size.
    if (hasGlyph(m_resourceId)) {
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        drawGlyphVector(painter, m_resourceId, QRectF(rect()), Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

}  // namespace zodiara
