#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <utility>

#include "app/aboutdialog.h"
#include "app/chartprintout.h"
#include "app/chartview.h"
#include "app/platformservices.h"
#include "chart/precise.h"
#include "entry/chartedit.h"
#include "lore/compatibilitydialog.h"
#include "lore/traitsdialog.h"
#include "resources/glyphs.h"
#include "ui/centeronscreen.h"
#include "ui/messageservice.h"

namespace zodiara {

namespace {

const QString NotSavedCaption = QStringLiteral("Modifications not saved.");

// Why precise positions were switched off for a chart: the range they cover.
QString preciseUnavailableMessage(const std::string& libraryError)
{
    if (!libraryError.empty())
        return QStringLiteral("The ephemeris library gives no precise positions: %1. This chart is shown with the "
                              "classic tables.")
            .arg(QString::fromStdString(libraryError));
    return QStringLiteral("Precise positions cover only %1. This chart is shown with the classic tables.")
        .arg(QString::fromStdString(preciseRangeText()));
}

// The user guide in a window of the program's own, so that it needs no web browser. It does not
// block the main window; links between the guide's pages are followed inside it, web links go
// to the desktop's browser where there is one.
QWidget* makeHelpWindow(QWidget* parent)
{
    auto* window = new QWidget(parent, Qt::Window);
    window->setObjectName(QStringLiteral("helpWindow"));
    window->setWindowTitle(QStringLiteral("Zodiara Help"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(true);
    auto* back = new QPushButton(QStringLiteral("&Back"), window);
    back->setEnabled(false);
    auto* contents = new QPushButton(QStringLiteral("C&ontents"), window);
    auto* close = new QPushButton(QStringLiteral("Close"), window);
    QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    QObject::connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
    QObject::connect(contents, &QPushButton::clicked, browser, &QTextBrowser::home);
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(browser);
    layout->addLayout(buttons);
    if (const QScreen* screen = parent->screen()) {
        const QSize available = screen->availableGeometry().size();
        window->resize(std::min(760, available.width() * 9 / 10), available.height() * 3 / 4);
    }
    return window;
}

// The Porphyry notice for a chart at `latitude`, e.g. "... at 70°N at this time; ...".
QString porphyryMessage(const GeoAngle& latitude)
{
    const QChar hemisphere = latitude.direction == South ? u'S' : u'N';
    const int degrees = latitude.degrees;
    const int minutes = latitude.minutes;
    const QString where =
        minutes != 0 ? QStringLiteral("%1°%2'%3").arg(degrees).arg(minutes, 2, 10, QLatin1Char('0')).arg(hemisphere)
                     : QStringLiteral("%1°%2").arg(degrees).arg(hemisphere);
    return QStringLiteral("Placidus house cusps do not exist at %1 at this time; the chart shows Porphyry cusps.")
        .arg(where);
}

}  // namespace

MainWindow::MainWindow(MessageService& messages, PlatformServices& platform, const QString& programDirectory,
                       const QDateTime& now)
    : m_messages(messages), m_platform(platform), m_programDirectory(programDirectory), m_document(now),
      m_view(new ChartView(m_document, messages))
{
    setWindowTitle(QStringLiteral("Zodiara"));
    setWindowIcon(programIcon());
    setCentralWidget(m_view);
    createActions();
    updateActions();

    // The view gets its preferred client area, whatever the menu bar needs.
    resize(sizeHint());
    layout()->activate();
    resize(size() + (m_view->sizeHint() - m_view->size()));
    layout()->activate();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::makeAction(const char* objectName, const char* text, void (MainWindow::*slot)())
{
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setObjectName(QString::fromLatin1(objectName));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void MainWindow::createActions()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(makeAction("newChartAction", "&Create New Chart ...", &MainWindow::newChart));
    file->addAction(makeAction("openAction", "&Open Chart ...", &MainWindow::open));
    m_saveAction = makeAction("saveAction", "&Save", &MainWindow::save);
    file->addAction(m_saveAction);
    file->addAction(makeAction("saveAsAction", "Save &As ...", &MainWindow::saveAs));
    file->addSeparator();
    file->addAction(makeAction("printerSetupAction", "P&rinter Setup ...", &MainWindow::printerSetup));
    file->addAction(makeAction("printAction", "&Print", &MainWindow::print));
    file->addSeparator();
    // Closing asks the close query, whichever way the window is closed.
    auto* exit = new QAction(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("exitAction"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(makeAction("modifyChartAction", "&Modify Chart Info ...", &MainWindow::modifyChart));

    // The check marks follow the view's setting and the document, not the click.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_showAspectsAction = makeAction("showAspectsAction", "Show &Aspects", &MainWindow::toggleShowAspects);
    m_showAspectsAction->setCheckable(true);
    view->addAction(m_showAspectsAction);
    m_precisePositionsAction =
        makeAction("precisePositionsAction", "&Precise Positions", &MainWindow::togglePrecisePositions);
    m_precisePositionsAction->setCheckable(true);
    view->addAction(m_precisePositionsAction);

    menuBar()->addAction(makeAction("compatibilityAction", "&Compatibility", &MainWindow::compatibility));
    menuBar()->addAction(makeAction("traitsAction", "&Traits", &MainWindow::traits));

    // A second bar in the corner keeps Help at the right-hand end under every style.
    auto* helpBar = new QMenuBar(menuBar());
    helpBar->setObjectName(QStringLiteral("helpBar"));
    QMenu* help = helpBar->addMenu(QStringLiteral("&Help"));
    help->addAction(makeAction("helpTopicsAction", "&Help Topics", &MainWindow::helpTopics));
    help->addAction(makeAction("aboutAction", "&About", &MainWindow::about));
    menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);
}

void MainWindow::updateActions()
{
    m_saveAction->setEnabled(m_document.canSave());
    m_showAspectsAction->setChecked(m_view->showAspects());
    m_precisePositionsAction->setChecked(m_document.ephemeris() == Ephemeris::Precise);
    // The hub shows only as much of a long name as fits; the view shows this window's tooltip.
    setWindowTitle(chartWindowTitle(m_document.chart()));
    setToolTip(chartName(m_document.chart()));
}

QPrinter* MainWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

bool MainWindow::confirmDiscard()
{
    if (!m_document.hasUnsavedChanges())
        return true;
    return m_messages.show(this,
                           QStringLiteral("Modifications have been made to this chart.  Continue without saving ?"),
                           NotSavedCaption, MessageService::Buttons::YesNo)
           == MessageService::Result::Yes;
}

bool MainWindow::queryClose()
{
    if (!m_document.hasUnsavedChanges())
        return true;
    return m_messages.show(this, QStringLiteral("Modifications have been made to this chart.  Quit without saving ?"),
                           NotSavedCaption, MessageService::Buttons::YesNo)
           == MessageService::Result::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (queryClose())
        event->accept();
    else
        event->ignore();
}

void MainWindow::newChart() { editBirthData(true); }

void MainWindow::modifyChart() { editBirthData(false); }

void MainWindow::editBirthData(bool newChart)
{
    if (!confirmDiscard())
        return;
    ChartEdit dialog(this, m_document.chart().birth, m_programDirectory, m_messages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const BirthData& birth = dialog.birthData();
    chartComputed(newChart ? m_document.create(birth) : m_document.modify(birth));
}

void MainWindow::chartComputed(ComputeOutcome outcome)
{
    m_view->update();
    updateActions();
    if (outcome.preciseUnavailable)
        m_messages.show(this, preciseUnavailableMessage(outcome.preciseError));
    if (outcome.houses == HouseSystem::Porphyry)
        m_messages.show(this, porphyryMessage(m_document.chart().birth.latitude));
}

void MainWindow::openAtStart(const QString& path)
{
    m_startError = m_document.open(path);
    updateActions();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_startError.isEmpty())
        windowHandle()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QTimer::singleShot(0, this, [this]() { m_messages.show(this, std::exchange(m_startError, QString())); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::open()
{
    if (!confirmDiscard())
        return;
    const QString path = m_platform.openChartFileName(this);
    if (path.isEmpty())
        return;
    const QString error = m_document.open(path);
    updateActions();
    m_view->update();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::save()
{
    const QString error = m_document.save();
    updateActions();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::saveAs()
{
    const QString path = m_platform.saveChartFileName(this);
    if (path.isEmpty())
        return;
    const QString error = m_document.saveAs(path);
    updateActions();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::printerSetup()
{
    if (QPrinter* chosen = printer())
        m_platform.setUpPrinter(this, *chosen);
}

void MainWindow::print()
{
    const QString title = printJobTitle(m_document.chart());
    const ChartPrintout printout(title, m_document.chart(), m_document.tables(), m_view->showAspects());
    QPrinter* target = printer();
    if (!target)
        return;
    const QString error = printChart(*target, printout, this, [this](int page) { emit printingPage(page); });
    if (!error.isEmpty())
        m_messages.show(this, printErrorText(title, error), QStringLiteral("Print Error"));
}

void MainWindow::toggleShowAspects()
{
    m_view->setShowAspects(!m_view->showAspects());
    updateActions();
}

void MainWindow::togglePrecisePositions()
{
    const bool precise = m_document.ephemeris() == Ephemeris::Precise;
    chartComputed(m_document.setEphemeris(precise ? Ephemeris::Classic : Ephemeris::Precise));
}

void MainWindow::traits()
{
    TraitsDialog dialog(this, m_messages);
    dialog.exec();
}

void MainWindow::compatibility()
{
    CompatibilityDialog dialog(this);
    dialog.exec();
}

void MainWindow::helpTopics()
{
    const QString guide = QDir(m_programDirectory).absoluteFilePath(QStringLiteral("zodiara.html"));
    QFile file(guide);
    if (!file.open(QIODevice::ReadOnly)) {
        m_messages.show(this, QStringLiteral("Cannot open the user guide %1:\n%2.")
                                  .arg(QDir::toNativeSeparators(guide), file.errorString()));
        return;
    }
    if (!m_help) {
        m_help = makeHelpWindow(this);
        centerOnScreen(m_help);
    }
    auto* browser = m_help->findChild<QTextBrowser*>();
    if (browser->source() != QUrl::fromLocalFile(guide))
        browser->setSource(QUrl::fromLocalFile(guide));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::about()
{
    AboutDialog dialog(this, m_messages);
    dialog.exec();
}

}  // namespace zodiara
