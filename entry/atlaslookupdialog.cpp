#include "atlaslookupdialog.h"

#include "atlas.h"
#include "centeronscreen.h"
#include "messageservice.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringMatcher>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace zodiara {

AtlasListModel::AtlasListModel(QStringList lines, QObject* parent)
    : QAbstractListModel(parent), m_lines(std::move(lines))
{
    m_starts.reserve(static_cast<std::size_t>(m_lines.size()) + 1);
    std::size_t total = 0;
    for (const QString& line : m_lines)
        total += static_cast<std::size_t>(line.size());
    m_folded.reserve(total);
    for (const QString& line : m_lines) {
        m_starts.push_back(static_cast<qsizetype>(m_folded.size()));
        appendFolded(m_folded, line);
    }
    m_starts.push_back(static_cast<qsizetype>(m_folded.size()));
}

int AtlasListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_showAll ? static_cast<int>(m_lines.size()) : static_cast<int>(m_visible.size());
}

QVariant AtlasListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const int line = lineOfRow(index.row());
    return line < 0 ? QVariant() : QVariant(m_lines.at(line));
}

int AtlasListModel::lineOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return m_showAll ? row : m_visible[static_cast<std::size_t>(row)];
}

int AtlasListModel::rowOfLine(int line) const
{
    if (line < 0 || line >= m_lines.size())
        return -1;
    if (m_showAll)
        return line;
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), line);
    return it != m_visible.end() && *it == line ? static_cast<int>(it - m_visible.begin()) : -1;
}

void AtlasListModel::setFilter(const QString& text)
{
    const QString needle = foldForFilter(text);
    beginResetModel();
    m_showAll = needle.isEmpty();
    m_visible.clear();
    if (!m_showAll) {
        const QStringMatcher matcher(needle, Qt::CaseSensitive);
        const QStringView folded(m_folded.data(), static_cast<qsizetype>(m_folded.size()));
        qsizetype from = 0;
        std::size_t line = 0;
        while ((from = matcher.indexIn(folded, from)) >= 0) {
            // Hits only move forward, so the line holding one is found by walking on.
            while (m_starts[line + 1] <= from)
                ++line;
            const qsizetype lineEnd = m_starts[line + 1];
            if (from + needle.size() <= lineEnd) {
                m_visible.push_back(static_cast<int>(line));
                from = lineEnd;
            } else {
                ++from;  // the hit runs into the next line
            }
        }
    }
    endResetModel();
}

AtlasLookupDialog::AtlasLookupDialog(QWidget* parent, const QString& atlasFilePath, MessageService& messages)
    : QDialog(parent), m_messages(messages)
{
    setWindowTitle(QStringLiteral("Select Entry from List"));

    std::optional<QStringList> lines = readAtlasFile(atlasFilePath);
    m_found = lines.has_value();
    m_model = new AtlasListModel(lines.value_or(QStringList()), this);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(QStringLiteral("Type to filter the list"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("atlasList"));
    m_list->setModel(m_model);
    // Equal row heights let the view lay out a large atlas without measuring each line.
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setMinimumSize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 12);

    auto* frame = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_filter);
    frameLayout->addWidget(m_list);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &AtlasLookupDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
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
}

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
    int row = m_model->rowOfLine(keep);
    // While filtering, something is always highlighted so that Enter picks it.
    if (row < 0 && !text.isEmpty() && m_model->rowCount() > 0)
        row = 0;
    selectRow(row);
}

bool AtlasLookupDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown: {
            // Move through the list without leaving the filter.
            const auto* key = static_cast<QKeyEvent*>(event);
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(m_list, &copy);
            const QModelIndex current = m_list->currentIndex();
            if (current.isValid())
                m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            return true;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AtlasLookupDialog::accept()
{
    const int line = selectedLine();
    if (line >= 0)
        m_chosen = m_model->lines().at(line);
    QDialog::accept();
}

void AtlasLookupDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    centerOnScreen(this);
    // Reported over the open dialog, as its own message.
    if (!m_found)
        QTimer::singleShot(0, this, &AtlasLookupDialog::reportMissingAtlas);
}

void AtlasLookupDialog::reportMissingAtlas()
{
    if (isVisible())
        m_messages.show(this, QString::fromLatin1(AtlasMissingText), QString::fromLatin1(AtlasErrorCaption));
}

}  // namespace zodiara
