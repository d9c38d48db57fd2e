#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
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
#include "app/exportpicture.h"
#include "app/platformservices.h"
#include "app/positionspanel.h"
#include "chart/precise.h"
#include "entry/chartedit.h"
#include "lore/compatibilitydialog.h"
#include "lore/traitsdialog.h"
#include "resources/glyphs.h"
#include "ui/centeronscreen.h"
#include "ui/messageservice.h"
#include "ui/textconversion.h"

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
// block the main window and closes on Escape; its links are the caller's to follow.
QWidget* makeHelpWindow(QWidget* parent)
{
    auto* window = new QWidget(parent, Qt::Window);
    window->setObjectName(QStringLiteral("helpWindow"));
    window->setWindowTitle(QStringLiteral("Zodiara Help"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenLinks(false);
    new QShortcut(QKeySequence::Cancel, window, window, &QWidget::close);
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

// What the status bar says of the chart shown: where its positions come from and its Universal Time.
QString statusText(const ChartDocument& document)
{
    const QString positions = document.positionsAsStored()                 ? QStringLiteral("as stored in the file")
                              : document.ephemeris() == Ephemeris::Precise ? QStringLiteral("precise ephemeris")
                                                                           : QStringLiteral("classic tables");
    const ChartTimes& t = document.chart().times;
    const int year = t.utDate.year;
    const QString date = QStringLiteral("%1 %2 %3%4")
                             .arg(t.utDate.day)
                             .arg(toQString(monthName(t.utDate.month - 1)))
                             .arg(year > 0 ? year : 1 - year)
                             .arg(year > 0 ? QString() : QStringLiteral(" BC"));
    return QStringLiteral("Positions: %1    Universal Time: %2, %3:%4:%5")
        .arg(positions, date)
        .arg(t.universalTime.hour, 2, 10, QLatin1Char('0'))
        .arg(t.universalTime.minute, 2, 10, QLatin1Char('0'))
        .arg(t.universalTime.second, 2, 10, QLatin1Char('0'));
}

// A file name made of the person's name: the characters a file name cannot hold left out.
QString fileNameFor(const QString& name)
{
    QString base;
    for (const QChar c : name.trimmed())
        if (c != u'/' && c != u'\\' && c.isPrint())
            base += c;
    return (base.isEmpty() ? QStringLiteral("chart") : base) + QStringLiteral(".cht");
}

// Some desktops bind nothing to Save As or Quit; the keys most programs use stand in.
void setStandardShortcut(QAction* action, QKeySequence::StandardKey key)
{
    if (key == QKeySequence::UnknownKey)
        return;
    action->setShortcuts(key);
    if (action->shortcuts().isEmpty() && key == QKeySequence::SaveAs)
        action->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    if (action->shortcuts().isEmpty() && key == QKeySequence::Quit)
        action->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
}

const QString GeometryKey = QStringLiteral("window/geometry");
const QString ShowAspectsKey = QStringLiteral("view/showAspects");
const QString PreciseKey = QStringLiteral("view/precisePositions");
const QString PositionsKey = QStringLiteral("view/positions");
const QString RecentKey = QStringLiteral("files/recent");
const QString FolderKey = QStringLiteral("files/lastFolder");

}  // namespace

MainWindow::MainWindow(MessageService& messages, PlatformServices& platform, const QString& programDirectory,
                       const QDateTime& now, QSettings* settings)
    : m_messages(messages), m_platform(platform), m_programDirectory(programDirectory), m_document(now),
      m_view(new ChartView(m_document, messages)), m_settings(settings)
{
    setWindowIcon(programIcon());
    setCentralWidget(m_view);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("chartStatus"));
    statusBar()->addPermanentWidget(m_status, 1);
    m_positions = new PositionsPanel(this);
    m_positionsDock = new QDockWidget(QStringLiteral("Positions"), this);
    m_positionsDock->setObjectName(QStringLiteral("positionsDock"));
    m_positionsDock->setWidget(m_positions);
    m_positionsDock->hide();
    addDockWidget(Qt::RightDockWidgetArea, m_positionsDock);
    createActions();
    // Closing the panel by its own button unticks the menu item.
    connect(m_positionsDock, &QDockWidget::visibilityChanged, this, [this](bool) {
        if (!m_positionsDock->isHidden() || !isVisible())
            return;
        m_positionsAction->setChecked(false);
        remember(PositionsKey, false);
    });

    // The view gets its preferred client area, whatever the menu and status bars need.
    resize(sizeHint());
    layout()->activate();
    resize(size() + (m_view->sizeHint() - m_view->size()));
    layout()->activate();
    restoreSettings();
    updateActions();
}

void MainWindow::restoreSettings()
{
    if (!m_settings)
        return;
    if (m_settings->contains(GeometryKey))
        restoreGeometry(m_settings->value(GeometryKey).toByteArray());
    m_view->setShowAspects(m_settings->value(ShowAspectsKey, false).toBool());
    // The start-up chart is of now, which precise positions always cover.
    if (m_settings->value(PreciseKey, false).toBool())
        m_document.setEphemeris(Ephemeris::Precise);
    const bool positions = m_settings->value(PositionsKey, false).toBool();
    m_positionsDock->setVisible(positions);
    m_positionsAction->setChecked(positions);
    // A remembered size already holds the table; else the table comes beside the wheel.
    if (positions && !m_settings->contains(GeometryKey))
        resize(width() + m_positionsDock->sizeHint().width(), height());
}

void MainWindow::remember(const QString& key, const QVariant& value)
{
    if (m_settings)
        m_settings->setValue(key, value);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::makeAction(const char* objectName, const char* text, void (MainWindow::*slot)(),
                                QKeySequence::StandardKey shortcut)
{
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setObjectName(QString::fromLatin1(objectName));
    setStandardShortcut(action, shortcut);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void MainWindow::createActions()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(makeAction("newChartAction", "&Create New Chart ...", &MainWindow::newChart, QKeySequence::New));
    file->addAction(makeAction("openAction", "&Open Chart ...", &MainWindow::open, QKeySequence::Open));
    m_saveAction = makeAction("saveAction", "&Save", &MainWindow::save, QKeySequence::Save);
    file->addAction(m_saveAction);
    file->addAction(makeAction("saveAsAction", "Save &As ...", &MainWindow::saveAs, QKeySequence::SaveAs));
    file->addSeparator();
    file->addAction(makeAction("printerSetupAction", "P&rinter Setup ...", &MainWindow::printerSetup));
    file->addAction(makeAction("printAction", "&Print", &MainWindow::print, QKeySequence::Print));
    file->addAction(makeAction("exportPictureAction", "&Export Picture ...", &MainWindow::exportPicture));
    file->addSeparator();
    for (int n = 0; n < MaxRecentFiles; ++n) {
        m_recentActions[n] = makeAction("", "", &MainWindow::openRecent);
        m_recentActions[n]->setObjectName(QStringLiteral("recentFile%1").arg(n + 1));
        file->addAction(m_recentActions[n]);
    }
    m_recentSeparator = file->addSeparator();
    // Closing asks the close query, whichever way the window is closed.
    auto* exit = new QAction(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("exitAction"));
    setStandardShortcut(exit, QKeySequence::Quit);
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
    m_positionsAction = makeAction("positionsAction", "P&ositions", &MainWindow::togglePositions);
    m_positionsAction->setCheckable(true);
    view->addAction(m_positionsAction);

    menuBar()->addAction(makeAction("compatibilityAction", "&Compatibility", &MainWindow::compatibility));
    menuBar()->addAction(makeAction("traitsAction", "&Traits", &MainWindow::traits));

    // A second bar in the corner keeps Help at the right-hand end under every style.
    auto* helpBar = new QMenuBar(menuBar());
    helpBar->setObjectName(QStringLiteral("helpBar"));
    QMenu* help = helpBar->addMenu(QStringLiteral("&Help"));
    help->addAction(
        makeAction("helpTopicsAction", "&Help Topics", &MainWindow::helpTopics, QKeySequence::HelpContents));
    help->addAction(makeAction("aboutAction", "&About", &MainWindow::about));
    menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);
}

void MainWindow::updateActions()
{
    m_saveAction->setEnabled(m_document.canSave());
    m_showAspectsAction->setChecked(m_view->showAspects());
    m_precisePositionsAction->setChecked(m_document.ephemeris() == Ephemeris::Precise);
    updateRecentActions();

    // The person's name, else the file's, with the mark of unsaved changes.
    QString shown;
    if (m_document.chartPresent()) {
        shown = toQString(m_document.chart().birth.name).trimmed();
        if (shown.isEmpty() && !m_document.fileName().isEmpty())
            shown = QFileInfo(m_document.fileName()).fileName();
    }
    setWindowTitle(shown.isEmpty() ? QStringLiteral("Zodiara[*]") : shown + QStringLiteral("[*] - Zodiara"));
    setWindowModified(m_document.hasUnsavedChanges());
    m_status->setText(statusText(m_document));
    // Its glyphs are drawn from vector masters: not while hidden, least of all at start.
    if (!m_positionsDock->isHidden())
        m_positions->showChart(m_document.chart());
}

QPrinter* MainWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

bool MainWindow::confirmDiscard()
{
    return !m_document.hasUnsavedChanges()
           || askBeforeDiscarding(
               QStringLiteral("Modifications have been made to this chart.  Continue without saving ?"));
}

bool MainWindow::queryClose()
{
    return !m_document.hasUnsavedChanges()
           || askBeforeDiscarding(QStringLiteral("Modifications have been made to this chart.  Quit without saving ?"));
}

bool MainWindow::askBeforeDiscarding(const QString& question)
{
    // Yes throws the chart away, so a hurried Enter must not.
    return m_messages.show(this, question, NotSavedCaption, MessageService::Buttons::YesNo, MessageService::Result::No)
           == MessageService::Result::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!queryClose()) {
        event->ignore();
        return;
    }
    remember(GeometryKey, saveGeometry());
    event->accept();
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
    if (m_startError.isEmpty())
        addRecentFile(path);
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
    const QString path = m_platform.openChartFileName(this, lastFolder());
    if (!path.isEmpty())
        openFile(path);
}

void MainWindow::openFile(const QString& path)
{
    const QString error = m_document.open(path);
    if (error.isEmpty())
        addRecentFile(path);
    updateActions();
    m_view->update();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::openRecent()
{
    const auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const QString path = action->data().toString();
    if (!QFileInfo::exists(path)) {
        QStringList files = recentFiles();
        files.removeAll(path);
        remember(RecentKey, files);
        updateActions();
        m_messages.show(this, QStringLiteral("The chart file %1 is no longer there. It is removed from the recent "
                                             "charts.")
                                  .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (confirmDiscard())
        openFile(path);
}

void MainWindow::save()
{
    const bool writing = m_document.canSave();
    const QString error = m_document.save();
    if (writing && error.isEmpty())
        addRecentFile(m_document.fileName());
    updateActions();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::saveAs()
{
    const QString name = fileNameFor(toQString(m_document.chart().birth.name));
    const QString folder = lastFolder();
    const QString path = m_platform.saveChartFileName(this, folder.isEmpty() ? name : QDir(folder).filePath(name));
    if (path.isEmpty())
        return;
    const QString error = m_document.saveAs(path);
    if (error.isEmpty())
        addRecentFile(path);
    updateActions();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void MainWindow::exportPicture()
{
    QString name = fileNameFor(toQString(m_document.chart().birth.name));
    name.replace(QStringLiteral(".cht"), QStringLiteral(".png"));
    const QString folder = lastFolder();
    const QString path = m_platform.exportPictureFileName(this, folder.isEmpty() ? name : QDir(folder).filePath(name));
    if (path.isEmpty())
        return;
    QSize size = m_view->size();
    if (!isPdfPath(path)) {
        PictureSizeDialog sizeDialog(this, size);
        if (sizeDialog.exec() != QDialog::Accepted)
            return;
        size = sizeDialog.pictureSize();
    }
    const QString error =
        zodiara::exportPicture(path, m_document.chart(), m_document.tables(), m_view->showAspects(), size);
    if (!error.isEmpty())
        m_messages.show(this, error);
}

QStringList MainWindow::recentFiles() const
{
    return m_settings ? m_settings->value(RecentKey).toStringList() : QStringList();
}

QString MainWindow::lastFolder() const { return m_settings ? m_settings->value(FolderKey).toString() : QString(); }

void MainWindow::addRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    remember(RecentKey, files.mid(0, MaxRecentFiles));
    remember(FolderKey, QFileInfo(absolute).absolutePath());
}

void MainWindow::updateRecentActions()
{
    const QStringList files = recentFiles();
    for (int n = 0; n < MaxRecentFiles; ++n) {
        QAction* action = m_recentActions[n];
        action->setVisible(n < files.size());
        if (n >= files.size())
            continue;
        // Numbered with mnemonics, as desktop programs list them; an ampersand in a name stays one.
        QString shown = QFileInfo(files[n]).fileName();
        shown.replace(u'&', QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(n + 1).arg(shown));
        action->setData(files[n]);
        action->setToolTip(QDir::toNativeSeparators(files[n]));
    }
    m_recentSeparator->setVisible(!files.isEmpty());
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
    if (error.isEmpty())
        return;
    QString text = printErrorText(title, error);
    // With no printer to print on, the way out is a file.
    if (target->outputFormat() == QPrinter::NativeFormat)
        text += QStringLiteral("\nPrinter Setup can choose printing to a PDF file instead.");
    m_messages.show(this, text, QStringLiteral("Print Error"));
}

void MainWindow::toggleShowAspects()
{
    m_view->setShowAspects(!m_view->showAspects());
    remember(ShowAspectsKey, m_view->showAspects());
    updateActions();
}

void MainWindow::togglePrecisePositions()
{
    const bool precise = m_document.ephemeris() == Ephemeris::Precise;
    chartComputed(m_document.setEphemeris(precise ? Ephemeris::Classic : Ephemeris::Precise));
    remember(PreciseKey, m_document.ephemeris() == Ephemeris::Precise);
}

void MainWindow::togglePositions()
{
    const bool show = m_positionsAction->isChecked();
    // The table comes beside the wheel, which keeps its size where the screen has room.
    if (show)
        m_positions->showChart(m_document.chart());
    const int width = m_positionsDock->sizeHint().width();
    m_positionsDock->setVisible(show);
    if (!isMaximized() && !isFullScreen())
        resize(this->width() + (show ? width : -width), height());
    remember(PositionsKey, show);
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
        connect(m_help->findChild<QTextBrowser*>(), &QTextBrowser::anchorClicked, this, &MainWindow::followHelpLink);
        centerOnScreen(m_help);
    }
    auto* browser = m_help->findChild<QTextBrowser*>();
    if (browser->source() != QUrl::fromLocalFile(guide))
        browser->setSource(QUrl::fromLocalFile(guide));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::followHelpLink(const QUrl& link)
{
    auto* browser = m_help->findChild<QTextBrowser*>();
    const QUrl url = browser->source().resolved(link);
    // The guide's own pages stay in its window; anything else is the web browser's.
    if (url.isLocalFile() || url.scheme() == u"qrc") {
        browser->setSource(url);
        return;
    }
    if (!m_platform.openWebLink(url))
        m_messages.show(m_help, QStringLiteral("No web browser could be started to show %1.").arg(url.toString()));
}

void MainWindow::about()
{
    AboutDialog dialog(this, m_messages);
    dialog.exec();
}

}  // namespace zodiara
