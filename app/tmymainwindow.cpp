#include "tmymainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QUrl>

#include <filesystem>

#include "chartcanvas.h"
#include "chartedit.h"
#include "chartfile.h"
#include "chartpaint.h"
#include "clickinfo.h"
#include "commandids.h"
#include "compatibilitydialog.h"
#include "messageservice.h"
#include "platformservices.h"
#include "tchartout.h"
#include "tmyaboutdialog.h"
#include "traitsdialog.h"

namespace zodiara {

namespace {

const QString NotSavedCaption = QStringLiteral("Modifications not saved.");

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// "Error reading file" or "Error writing file", then the file and why, as a second line.
QString fileError(const char* firstLine, const QString& path, const std::string& reason)
{
    QString why = QString::fromStdString(reason);
    if (!why.endsWith(u'.'))
        why += u'.';
    return QStringLiteral("%1\n%2: %3").arg(QLatin1String(firstLine), QDir::toNativeSeparators(path), why);
}

}  // namespace

QString porphyryMessage(const GeoAngle& latitude)
{
    const QChar hemisphere = latitude.direction == South ? u'S' : u'N';
    const int degrees = latitude.degrees;
    const int minutes = latitude.minutes;
    const QString where = minutes != 0 ? QStringLiteral("%1°%2'%3").arg(degrees).arg(minutes, 2, 10, QLatin1Char('0')).arg(hemisphere)
                                       : QStringLiteral("%1°%2").arg(degrees).arg(hemisphere);
    return QStringLiteral("Placidus house cusps do not exist at %1 at this time; the chart shows Porphyry cusps.")
        .arg(where);
}

TMyMainWindow::TMyMainWindow(MessageService& messages, PlatformServices& platform, const QString& programDirectory,
                             const QDateTime& now, QWidget* parent)
    : QWidget(parent), m_messages(messages), m_platform(platform), m_programDirectory(programDirectory)
{
    setWindowTitle(QStringLiteral("Zodiara"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    createActions();

    const QDate date = now.date();
    const QTime time = now.time();
    m_chart.birthDate.year = date.year();
    m_chart.birthDate.day = static_cast<std::int8_t>(date.day());
    m_chart.birthDate.month = static_cast<std::int8_t>(date.month());
    m_chart.longitude.degrees = 49;
    m_chart.latitude.degrees = 24;
    m_chart.zone = 6;
    m_chart.localTime = {time.hour(), time.minute(), time.second(), 0};
    m_chart.daylightSaving = 0;
    m_chart.beforeChrist = 0;
    computeChart(m_chart, m_tables, m_ephemeris);
}

TMyMainWindow::~TMyMainWindow() = default;

QPrinter* TMyMainWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void TMyMainWindow::createActions()
{
    struct Item {
        int id;
        const char* text;
        bool checkable;
    };
    static constexpr Item items[] = {
        {CmCreateNewChart, "&Create New Chart ...", false},
        {CmOpenChart, "&Open Chart ...", false},
        {CmSave, "&Save", false},
        {CmSaveAs, "Save &As ...", false},
        {CmPrinterSetup, "P&rinter Setup ...", false},
        {CmPrint, "&Print", false},
        {CmExit, "E&xit", false},
        {CmModifyChartInfo, "&Modify Chart Info ...", false},
        {CmShowAspects, "Show &Aspects", true},
        {CmPrecisePositions, "&Precise Positions", true},
        {CmCompatibility, "&Compatibility", false},
        {CmTraits, "&Traits", false},
        {CmHelpTopics, "&Help Topics", false},
        {CmAbout, "&About", false},
    };
    for (const Item& item : items) {
        auto* action = new QAction(QString::fromLatin1(item.text), this);
        action->setData(item.id);
        action->setCheckable(item.checkable);
        // The menu's check marks follow the view's flags, not the click.
        connect(action, &QAction::triggered, this, [this, id = item.id]() { command(id); });
        m_actions.insert(item.id, action);
    }
    updateCommands();
}

QAction* TMyMainWindow::action(int commandId) const
{
    return m_actions.value(commandId, nullptr);
}

void TMyMainWindow::updateCommands()
{
    m_actions[CmSave]->setEnabled(!m_saved && !m_fileName.isEmpty());
    m_actions[CmShowAspects]->setChecked(m_showAspects);
    m_actions[CmPrecisePositions]->setChecked(m_ephemeris == Ephemeris::Precise);
}

void TMyMainWindow::command(int commandId)
{
    switch (commandId) {
    case CmCreateNewChart:
        EditBirthData(true);
        break;
    case CmModifyChartInfo:
        EditBirthData(false);
        break;
    case CmOpenChart:
        Open();
        break;
    case CmSave:
        Save();
        break;
    case CmSaveAs:
        SaveAs();
        break;
    case CmExit:
        Exit();
        break;
    case CmPrinterSetup:
        PrinterSetup();
        break;
    case CmPrint:
        Print();
        break;
    case CmTraits:
        Traits();
        break;
    case CmCompatibility:
        Compatibility();
        break;
    case CmHelpTopics:
        HelpTopics();
        break;
    case CmShowAspects:
        ToggleShowAspects();
        break;
    case CmPrecisePositions:
        TogglePrecise();
        break;
    case CmAbout:
        About();
        break;
    default:
        break;
    }
}

bool TMyMainWindow::ConfirmDiscard()
{
    if (!m_chartPresent || m_saved)
        return true;
    return m_messages.show(this,
                           QStringLiteral("Modifications have been made to this chart.  Continue without saving ?"),
                           NotSavedCaption, MessageService::Buttons::YesNo) == MessageService::Result::Yes;
}

bool TMyMainWindow::QueryClose()
{
    if (!m_chartPresent || m_saved)
        return true;
    return m_messages.show(this, QStringLiteral("Modifications have been made to this chart.  Quit without saving ?"),
                           NotSavedCaption, MessageService::Buttons::YesNo) == MessageService::Result::Yes;
}

bool TMyMainWindow::canCloseFrame()
{
    return m_exitApproved || QueryClose();
}

void TMyMainWindow::Exit()
{
    if (!QueryClose())
        return;
    m_exitApproved = true;
    if (!window()->close())
        m_exitApproved = false;
}

void TMyMainWindow::EditBirthData(bool newDocument)
{
    if (!ConfirmDiscard())
        return;
    Chart working;
    setBirthData(working, birthDataOf(m_chart));
    ChartEdit dialog(this, working, m_programDirectory, m_messages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_saved = false;
    setBirthData(m_chart, birthDataOf(working));
    m_chartPresent = true;
    // A new chart is a new document: Save must not put it over the file of the previous one.
    if (newDocument)
        m_fileName.clear();
    recompute();
}

void TMyMainWindow::recompute()
{
    const HouseSystem houses = computeChart(m_chart, m_tables, m_ephemeris);
    m_hitAreas.bodyGlyphs = {};  // a new sorted order: no glyph rectangle holds until the next paint
    update();
    updateCommands();
    if (houses == HouseSystem::Porphyry)
        m_messages.show(this, porphyryMessage(m_chart.latitude));
}

QString TMyMainWindow::loadChartFile(const QString& path)
{
    ChartReadResult result = readChartFile(nativePath(path));
    if (!result.chart)
        return fileError("Error reading file", path, result.error);
    m_chart = *result.chart;
    m_saved = true;
    m_fileName = path;
    rebuildDerivedTables(m_chart, m_tables);
    m_hitAreas.bodyGlyphs = {};
    m_chartPresent = true;
    updateCommands();
    return {};
}

void TMyMainWindow::Open()
{
    if (!ConfirmDiscard())
        return;
    const QString path = m_platform.openChartFileName(this);
    if (path.isEmpty())
        return;
    const QString error = loadChartFile(path);
    update();
    if (!error.isEmpty())
        m_messages.show(this, error);
}

void TMyMainWindow::writeTo(const QString& path, bool remember)
{
    const std::string error = writeChartFile(nativePath(path), m_chart);
    if (!error.empty()) {
        m_messages.show(this, fileError("Error writing file", path, error));
        return;
    }
    m_saved = true;
    if (remember)
        m_fileName = path;
    updateCommands();
}

void TMyMainWindow::Save()
{
    if (m_saved || m_fileName.isEmpty())
        return;
    writeTo(m_fileName, false);
}

void TMyMainWindow::SaveAs()
{
    const QString path = m_platform.saveChartFileName(this);
    if (!path.isEmpty())
        writeTo(path, true);
}

void TMyMainWindow::ToggleShowAspects()
{
    m_showAspects = !m_showAspects;
    updateCommands();
    update();
}

void TMyMainWindow::TogglePrecise()
{
    m_ephemeris = m_ephemeris == Ephemeris::Precise ? Ephemeris::Classic : Ephemeris::Precise;
    // As if the birth data had been confirmed unchanged: the shown positions are no longer
    // those of any file, so Save becomes possible when a file is known.
    m_saved = false;
    recompute();
}

void TMyMainWindow::PrinterSetup()
{
    if (QPrinter* chosen = printer())
        m_platform.setUpPrinter(this, *chosen);
}

void TMyMainWindow::Print()
{
    const QString title = printJobTitle(m_chart);
    TChartOut printout(title, m_chart, m_tables, m_showAspects);
    QPrinter* target = printer();
    if (!target)
        return;
    const QString error = printChart(*target, printout, this, [this](int page) { emit printingPage(page); });
    if (!error.isEmpty())
        m_messages.show(this, printErrorText(title, error), QStringLiteral("Print Error"));
}

void TMyMainWindow::HelpTopics()
{
    m_platform.openUrl(QUrl::fromLocalFile(QDir(m_programDirectory).absoluteFilePath(QStringLiteral("zodiara.html"))));
}

void TMyMainWindow::About()
{
    TMyAboutDialog dialog(this, m_messages);
    dialog.exec();
}

void TMyMainWindow::Traits()
{
    TraitsDialog dialog(this, m_messages);
    dialog.exec();
}

void TMyMainWindow::Compatibility()
{
    CompatibilityDialog dialog(this);
    dialog.exec();
}

void TMyMainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterCanvas canvas(painter, GlyphStyle::Bitmap);
    m_hitAreas = paintChartView(canvas, m_chart, m_tables, size(), m_showAspects);
}

void TMyMainWindow::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (const std::optional<QString> text = clickExplanation(m_tables, m_hitAreas, m_showAspects, at.x(), at.y()))
        m_messages.show(this, *text);
}

}  // namespace zodiara
