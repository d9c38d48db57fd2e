// A picture control for the program's bitmap resources: the about picture (2) and the sign
// pictures (3 + sign index), stretched over the control or at their natural size.
#pragma once

#include <QImage>
#include <QWidget>

namespace zodiara {

class MessageService;

class PictureLabel : public QWidget {
    Q_OBJECT

public:
    // Loads `resourceId` at once; a resource that cannot be loaded is reported through
    // `messages`. At natural size the control takes the picture's size.
    PictureLabel(QWidget* parent, int resourceId, bool stretch, MessageService& messages);

    // Replaces the picture. A resource that cannot be loaded shows "Cannot access bitmap
    // resource", leaves the control without a picture and returns false.
    bool loadPicture(int resourceId);

    bool hasPicture() const { return !m_picture.isNull(); }
    int resourceId() const { return m_resourceId; }  // -1 without a picture
    QSize pictureSize() const { return m_picture.size(); }
    bool stretches() const { return m_stretch; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MessageService& m_messages;
    QImage m_picture;
    int m_resourceId = -1;
    bool m_stretch;
};

}  // namespace zodiara
