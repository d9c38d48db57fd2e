// The application object: builds the frame and the view and runs the event loop.
#pragma once

#include <QApplication>

#include <memory>

namespace zodiara {

class MessageService;
class PlatformServices;
class TFrameWindow;
class TMyMainWindow;

// The directory of the running executable, set at start; atlas.txt and the guide live there.
const QString& programDirectory();

class TMyApp : public QApplication {
    Q_OBJECT
public:
    TMyApp(int& argc, char** argv);
    ~TMyApp() override;

    // Builds and shows the main window; a chart file named on the command line is opened as
    // Open would, with its error box once the window is up.
    void InitMainWindow();
    // InitMainWindow, then the event loop; returns the exit status.
    int Run();

    TFrameWindow* frame() const { return m_frame.get(); }
    TMyMainWindow* view() const;

private:
    std::unique_ptr<MessageService> m_messages;
    std::unique_ptr<PlatformServices> m_platform;
    std::unique_ptr<TFrameWindow> m_frame;
};

}  // namespace zodiara
