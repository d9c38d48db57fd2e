#include <QApplication>
#include <QDateTime>
#include <QSettings>

#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "ui/messageservice.h"
#include "version.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zodiara"));
    QCoreApplication::setApplicationVersion(QLatin1String(zodiara::ProgramVersion));
    // Lets the desktop match the window to zodiara.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zodiara"));
    const QString chartFile = zodiara::chartFileArgument(QCoreApplication::arguments());

    zodiara::QtMessageService messages;
    zodiara::QtPlatformServices platform;
    // ~/.config/Zodiara/Zodiara.conf on Linux: the window, the view's toggles, recent charts.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zodiara"),
                       QStringLiteral("Zodiara"));
    zodiara::MainWindow window(messages, platform, QCoreApplication::applicationDirPath(),
                               QDateTime::currentDateTimeUtc(), &settings);
    // Dialogs and message boxes wear the window's icon; drawing it once is enough.
    QApplication::setWindowIcon(window.windowIcon());
    if (!chartFile.isEmpty())
        window.openAtStart(chartFile);
    window.show();
    return app.exec();
}
