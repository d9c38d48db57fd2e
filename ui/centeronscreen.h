#pragma once

#include <QDialog>
#include <QScreen>
#include <QWidget>

namespace zodiara {

// Places a top-level window in the middle of its screen without resizing it.
inline void centerOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

// A dialog that places itself in the middle of the screen the first time it is shown.
class CentredDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    // Runs once, when the layout has settled the widths and before the dialog is placed.
    virtual void beforeFirstShow() {}

    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        if (m_centred)
            return;
        m_centred = true;
        beforeFirstShow();
        centerOnScreen(this);
    }

private:
    bool m_centred = false;
};

}  // namespace zodiara
