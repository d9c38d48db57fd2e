#include "entry/atlaslookupdialog.h"

#include "entry/atlas.h"
#include "ui/centeronscreen.h"
#include "ui/messageservice.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace zodiara {

AtlasListModel::AtlasListModel(Atlas atlas, QObject* parent) : QAbstractListModel(parent), m_atlas(std::move(atlas)) {}

int AtlasListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_showAll ? m_atlas.lineCount() : static_cast<int>(m_visible.size());
}

// Asked for many times at each layout and paint: no more work than needed.
QModelIndex AtlasListModel::index(int row, int column, const QModelIndex& parent) const
{
    return row >= 0 && row < rowCount() && column == 0 && !parent.isValid() ? createIndex(row, 0) : QModelIndex();
}

QVariant AtlasListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const int line = lineOfRow(index.row());
    return line < 0 ? QVariant() : QVariant(m_atlas.line(line));
}

int AtlasListModel::lineOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return m_showAll ? row : m_visible[static_cast<std::size_t>(row)];
}

int AtlasListModel::rowOfLine(int line) const
{
    if (line < 0 || line >= m_atlas.lineCount())
        return -1;
    if (m_showAll)
        return line;
    const auto it = std::find(m_visible.begin(), m_visible.end(), line);
    return it != m_visible.end() ? static_cast<int>(it - m_visible.begin()) : -1;
}

void AtlasListModel::setFilter(const QString& text)
{
    beginResetModel();
    m_visible = m_atlas.find(text);
    m_showAll = text.trimmed().isEmpty();
    m_matchesNothing = !m_showAll && m_visible.empty();
    // Looked for only now: a keystroke that matches something pays nothing for it.
    if (m_matchesNothing)
        m_visible = m_atlas.nearest(text);
    endResetModel();
}

AtlasLookupDialog::AtlasLookupDialog(QWidget* parent, const QString& atlasFilePath, MessageService& messages)
    : QDialog(parent), m_messages(messages)
{
    setWindowTitle(QStringLiteral("Select Entry from List"));
    qApp->installEventFilter(this);

    std::optional<Atlas> atlas = readAtlas(atlasFilePath);
    m_found = atlas.has_value();
    m_atlasPath = atlasFilePath;
    m_model = new AtlasListModel(std::move(atlas).value_or(Atlas()), this);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(QStringLiteral("Type to filter the list"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));

    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("atlasList"));
    // A table of one column lays out its rows in a time that does not grow with them: a list view
    // visits every row at each filter keystroke. It looks as a list does.
    m_list->horizontalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A fixed-pitch font keeps the atlas's columns aligned; the list is as wide as its longest
    // line, so coordinates and zones show without scrolling sideways.
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics listMetrics(m_list->font());
    // Before the rows exist: set afterwards, the height is announced for each of them.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setMinimumSectionSize(1);
    m_list->verticalHeader()->setDefaultSectionSize(listMetrics.height() + 2);
    m_list->setModel(m_model);
    constexpr int WidestLine = 100;
    const int columns = std::clamp(m_model->atlas().longestLine(), 60, WidestLine);
    const int width = listMetrics.horizontalAdvance(QString(columns, u'M'))
                      + m_list->verticalScrollBar()->sizeHint().width() + 2 * m_list->frameWidth() + 8;
    const QRect screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    m_list->setMinimumSize(screen.isValid() ? std::min(width, screen.width() * 9 / 10) : width,
                           listMetrics.height() * 16);

    auto* frame = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_filter);
    frameLayout->addWidget(m_status);
    frameLayout->addWidget(m_list);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &AtlasLookupDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        selectRow(index.row());
        accept();
    });
    connect(m_filter, &QLineEdit::textChanged, this, &AtlasLookupDialog::applyFilter);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* top = new QVBoxLayout(this);
    top->addWidget(frame, 1);
    top->addLayout(buttons);

    m_filter->setFocus();
    takeKeysTypedMeanwhile();
}

void AtlasLookupDialog::takeKeysTypedMeanwhile()
{
    // Keys typed since the lookup was asked for wait for the window they were typed in, which this
    // dialog blocks once it shows, and the window system would then drop them: they are taken now
    // and typed into the filter when it shows.
    m_opening = true;
    QCoreApplication::processEvents();
    m_opening = false;
}

AtlasLookupDialog::~AtlasLookupDialog() = default;

int AtlasLookupDialog::selectedLine() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_model->lineOfRow(selected.first().row());
}

void AtlasLookupDialog::selectRow(int row)
{
    if (row < 0) {
        m_list->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}

void AtlasLookupDialog::applyFilter(const QString& text)
{
    const int keep = selectedLine();
    m_model->setFilter(text);
    // While filtering, the best match is highlighted so that Enter picks it; the whole list
    // keeps the line last highlighted.
    const bool filtering = !text.trimmed().isEmpty();
    selectRow(filtering ? (m_model->rowCount() > 0 ? 0 : -1) : m_model->rowOfLine(keep));
    m_status->setText(!m_model->matchesNothing() ? QString()
                      : m_model->rowCount() > 0  ? QString::fromLatin1(AtlasNearestText)
                                                 : QString::fromLatin1(AtlasNoMatchText));
}

bool AtlasLookupDialog::isMeantForThis(QObject* receiver) const
{
    if (!receiver->isWidgetType())
        return false;
    // Once shown, until the window system hands it the keyboard, keys still reach the window it
    // was opened from.
    if (!m_opening && (!isVisible() || QApplication::activeModalWidget() != this || QApplication::activePopupWidget()))
        return false;
    // A window of this dialog's own (a menu of the filter) takes its keys itself.
    for (const QWidget* window = static_cast<QWidget*>(receiver)->window(); window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr)
        if (window == this)
            return false;
    return true;
}

bool AtlasLookupDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Asked only of input, so that the rest of the application's events cost one comparison.
    const auto meantForThis = [&] { return watched != m_filter && isMeantForThis(watched); };
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (!meantForThis())
            break;
        // The key is the filter's, not a shortcut of the window behind.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!meantForThis())
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto copy = std::make_unique<QKeyEvent>(key->type(), key->key(), key->modifiers(), key->text(),
                                                key->isAutoRepeat(), key->count());
        if (m_opening)
            m_typedMeanwhile.push_back(std::move(copy));
        else
            QCoreApplication::sendEvent(m_filter, copy.get());
        return true;
    }
    // While it opens, nothing behind it is clicked or closed, as once it shows.
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: return m_opening && meantForThis();
    case QEvent::Close:
        if (!m_opening || !meantForThis())
            break;
        event->ignore();
        return true;
    default: break;
    }
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            // Move through the list without leaving the filter.
            const auto* key = static_cast<QKeyEvent*>(event);
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(m_list, &copy);
            const QModelIndex current = m_list->currentIndex();
            if (current.isValid())
                m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            return true;
        }
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AtlasLookupDialog::accept()
{
    const int line = selectedLine();
    if (line >= 0)
        m_chosen = m_model->atlas().line(line);
    QDialog::accept();
}

void AtlasLookupDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    centerOnScreen(this);
    // Posted, so that they arrive once the dialog runs: Enter among them closes it.
    for (std::unique_ptr<QKeyEvent>& key : m_typedMeanwhile)
        QCoreApplication::postEvent(m_filter, key.release());
    m_typedMeanwhile.clear();
    // Reported over the open dialog, as its own message.
    if (!m_found || !m_model->atlas().hasPlaces())
        QTimer::singleShot(0, this, &AtlasLookupDialog::reportUnusableAtlas);
}

void AtlasLookupDialog::reportUnusableAtlas()
{
    if (!isVisible())
        return;
    const QString text = m_found ? QString::fromLatin1(AtlasEmptyText).arg(QDir::toNativeSeparators(m_atlasPath))
                                 : QString::fromLatin1(AtlasMissingText);
    m_messages.show(this, text, QString::fromLatin1(AtlasErrorCaption));
}

}  // namespace zodiara
