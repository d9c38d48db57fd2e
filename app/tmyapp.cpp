#include "tmyapp.h"

#include <QDateTime>
#include <QTimer>

#include "messageservice.h"
#include "platformservices.h"
#include "tframewindow.h"
#include "tmymainwindow.h"
#include "version.h"

namespace zodiara {

namespace {
QString g_programDirectory;
}

const QString& programDirectory()
{
    return g_programDirectory;
}

TMyApp::TMyApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zodiara"));
    setApplicationVersion(QLatin1String(ProgramVersion));
    // Lets the desktop match the window to zodiara.desktop and its icon.
    setDesktopFileName(QStringLiteral("zodiara"));
}

TMyApp::~TMyApp()
{
    // The windows go before the services they refer to.
    m_frame.reset();
}

TMyMainWindow* TMyApp::view() const
{
    return m_frame ? m_frame->view() : nullptr;
}

void TMyApp::InitMainWindow()
{
    g_programDirectory = applicationDirPath();
    m_messages = std::make_unique<QtMessageService>();
    m_platform = std::make_unique<QtPlatformServices>();
    auto* view = new TMyMainWindow(*m_messages, *m_platform, g_programDirectory, QDateTime::currentDateTime());
    m_frame = std::make_unique<TFrameWindow>(view);
    // Dialogs and message boxes wear the frame's icon; drawing it once is enough.
    setWindowIcon(m_frame->windowIcon());

    // The first argument that is not an option names a chart file; the rest are ignored.
    QString pending;
    const QStringList args = arguments();
    for (qsizetype n = 1; n < args.size(); ++n) {
        if (!args.at(n).startsWith(u'-')) {
            pending = view->loadChartFile(args.at(n));
            break;
        }
    }
    m_frame->sizeToClient();
    m_frame->show();
    if (!pending.isEmpty())
        QTimer::singleShot(0, view, [this, view, pending]() { m_messages->show(view, pending); });
}

int TMyApp::Run()
{
    InitMainWindow();
    return exec();
}

}  // namespace zodiara
