// Start-up time of the main window: process start to the first painted chart, offscreen,
// against a minimal Qt Widgets window built and linked the same way (the floor).
//   app_startup_bench [runs]        runs both children `runs` times (default 30), prints medians
//   app_startup_bench child zodiara|floor
#include <QApplication>
#include <QDateTime>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/chartview.h"
#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "ui/messageservice.h"

extern char** environ;

namespace {

// Ends the event loop once the watched widget has been painted.
class QuitAfterPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

class FloorView : public QWidget {
public:
    QSize sizeHint() const override { return {580, 420}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawEllipse(rect().adjusted(20, 20, -20, -20));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("floor"));
    }
};

void dropOffscreenNotice(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message != QLatin1String("This plugin does not support propagateSizeHints()"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int runChild(const char* which)
{
    qInstallMessageHandler(dropOffscreenNotice);
    int argc = 1;
    char name[] = "app_startup_bench";
    char* argv[] = {name, nullptr};
    QuitAfterPaint quitter;
    if (std::strcmp(which, "zodiara") == 0) {
        // As main() builds it, without a file to open.
        QApplication app(argc, argv);
        zodiara::QtMessageService messages;
        zodiara::QtPlatformServices platform;
        zodiara::MainWindow window(messages, platform, QCoreApplication::applicationDirPath(),
                                   QDateTime::currentDateTimeUtc());
        QApplication::setWindowIcon(window.windowIcon());
        window.chartView()->installEventFilter(&quitter);
        window.show();
        return app.exec();
    }
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.menuBar()->addMenu(QStringLiteral("&File"));
    auto* view = new FloorView;
    view->installEventFilter(&quitter);
    frame.setCentralWidget(view);
    frame.show();
    return app.exec();
}

double runOnce(const char* which)
{
    char self[] = "/proc/self/exe";
    char child[] = "child";
    std::string mode = which;
    char* argv[] = {self, child, mode.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "child") == 0)
        return runChild(argv[2]);

    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<double> floor, zodiara;
    for (int n = 0; n < runs; ++n) {
        // Interleaved, so a busy moment on the machine hurts both alike.
        const double f = runOnce("floor");
        const double z = runOnce("zodiara");
        if (f < 0 || z < 0) {
            std::fprintf(stderr, "a child run failed\n");
            return 1;
        }
        floor.push_back(f);
        zodiara.push_back(z);
    }
    const double f = median(floor), z = median(zodiara);
    std::printf("start to first paint, offscreen, median of %d runs\n", runs);
    std::printf("  floor (minimal Qt Widgets window): %7.1f ms\n", f);
    std::printf("  zodiara main window:               %7.1f ms\n", z);
    std::printf("  ratio: %.2fx (target 1.5x)\n", z / f);
    return 0;
}
