// "Select Entry from List": every line of the atlas, with a filter above the list.
#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QLineEdit;
class QListView;

namespace zodiara {

class MessageService;

// The atlas lines, optionally narrowed to those containing a filter text
// (case and accents ignored). Filtering is one scan over a folded copy of all lines.
class AtlasListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AtlasListModel(QStringList lines, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setFilter(const QString& text);
    // Line number in the atlas of a row, -1 for none; and back, -1 when filtered out.
    int lineOfRow(int row) const;
    int rowOfLine(int line) const;
    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
    std::u16string m_folded;           // all lines folded, one after another
    std::vector<qsizetype> m_starts;   // where each line begins in m_folded, then the end
    bool m_showAll = true;
    std::vector<int> m_visible;        // line numbers of the rows while filtered
};

class AtlasLookupDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the atlas at `atlasFilePath` now; a missing file is reported once the dialog shows.
    AtlasLookupDialog(QWidget* parent, const QString& atlasFilePath, MessageService& messages);

    // The chosen line after OK; empty when nothing was selected.
    QString chosenLine() const { return m_chosen; }
    bool atlasFound() const { return m_found; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFilter(const QString& text);
    int selectedLine() const;
    void selectRow(int row);
    void reportMissingAtlas();

    MessageService& m_messages;
    AtlasListModel* m_model = nullptr;
    QLineEdit* m_filter = nullptr;
    QListView* m_list = nullptr;
    QString m_chosen;
    bool m_found = false;
    bool m_shown = false;
};

}  // namespace zodiara
