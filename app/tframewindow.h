// The main window's frame: caption, icon and menu around the view.
#pragma once

#include <QMainWindow>

class QMenu;
class QMenuBar;

namespace zodiara {

class TMyMainWindow;

class TFrameWindow : public QMainWindow {
    Q_OBJECT
public:
    // Takes `view` as its client and builds the menu from the view's commands.
    explicit TFrameWindow(TMyMainWindow* view);

    TMyMainWindow* view() const { return m_view; }
    // Sizes the frame so the view gets its preferred client area, whatever the menu bar needs.
    void sizeToClient();
    // The bar at the right-hand end that carries "&Help".
    QMenuBar* helpBar() const { return m_helpBar; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMyMainWindow* m_view;
    QMenuBar* m_helpBar;
};

}  // namespace zodiara
