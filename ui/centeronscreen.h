#pragma once

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

}  // namespace zodiara
