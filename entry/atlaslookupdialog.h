// "Select Entry from List": every line of the atlas but the blank and over-long ones, with a filter
// above the list. Keys typed while it opens, before it has the keyboard, go to the filter.
#pragma once

#include "entry/atlas.h"

#include <QAbstractListModel>
#include <QDialog>

#include <memory>
#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QTableView;

namespace zodiara {

class MessageService;

// The atlas lines in file order, or those matching a filter, best match first; for a filter that
// matches nothing, the lines of the nearest names.
class AtlasListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AtlasListModel(Atlas atlas, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setFilter(const QString& text);
    // A filter is set and no line matches it; the rows, if any, are the nearest names'.
    bool matchesNothing() const { return m_matchesNothing; }
    // Line number in the atlas of a row, -1 for none; and back, -1 when filtered out.
    int lineOfRow(int row) const;
    int rowOfLine(int line) const;
    const Atlas& atlas() const { return m_atlas; }

private:
    Atlas m_atlas;
    bool m_showAll = true;
    bool m_matchesNothing = false;
    std::vector<int> m_visible;  // line numbers of the rows while filtered
};

class AtlasLookupDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the atlas at `atlasFilePath` now; a missing file is reported once the dialog shows.
    AtlasLookupDialog(QWidget* parent, const QString& atlasFilePath, MessageService& messages);
    ~AtlasLookupDialog() override;

    // The chosen line after OK; empty when nothing was selected.
    QString chosenLine() const { return m_chosen; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFilter(const QString& text);
    int selectedLine() const;
    void selectRow(int row);
    void reportUnusableAtlas();

    void takeKeysTypedMeanwhile();
    // Whether input sent to `receiver`, outside this dialog, was meant for it: typed while it
    // opens, or before the window system hands it the keyboard.
    bool isMeantForThis(QObject* receiver) const;

    MessageService& m_messages;
    AtlasListModel* m_model = nullptr;
    QLineEdit* m_filter = nullptr;
    QLabel* m_status = nullptr;
    QTableView* m_list = nullptr;
    QString m_atlasPath;
    QString m_chosen;
    bool m_found = false;
    bool m_shown = false;
    bool m_opening = false;
    std::vector<std::unique_ptr<QKeyEvent>> m_typedMeanwhile;
};

}  // namespace zodiara
