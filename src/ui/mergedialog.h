// The Merge dialog: the table file that fills the document's cards, how it
// is read (delimiter, header row, encoding, blanks) with a live preview of
// its first rows to tick off, the first card's number, the copies column,
// and the first cell on the sheet picture; warnings about fields the table
// lacks and values rows miss.
#pragma once

#include "model/csv.h"
#include "model/itemlist.h"
#include "model/mergesource.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace ui {

// Rows the preview reads and shows; rows beyond it are always ticked.
constexpr size_t mergePreviewRows = 500;

class TMergeSheet;

class TMergeDialog : public QDialog {
public:
    // `start.source` is the absolute path of the table (may be empty);
    // `printAreas` draws the crossed-out cells on the sheet picture.
    TMergeDialog(const model::itemList_t& document, const model::mergeSettings_t& start, const QByteArray& printAreas,
                 QWidget* parent = nullptr);

    // What the dialog shows, the source as an absolute path.
    model::mergeSettings_t settings() const;
    // The user asked to end the merge.
    bool removeChosen() const { return remove_; }

    // Reads the preview of a table file again with the current options.
    void setSource(const QString& path);
    void reload();
    // A cell (from 1) picked on the sheet picture as the first.
    void pickStartCell(int32_t cell);
    int32_t startCell() const { return startCell_; }
    const model::csvTable_t& preview() const { return preview_; }
    const QByteArray& printAreas() const { return printAreas_; }
    const model::item_t* header() const;

    QLineEdit* sourceEdit = nullptr;
    QPushButton* chooseButton = nullptr;
    QComboBox* delimiterBox = nullptr;
    QComboBox* headerBox = nullptr;
    QComboBox* encodingBox = nullptr;
    QCheckBox* trimBox = nullptr;
    QTableWidget* table = nullptr;
    QLabel* infoLabel = nullptr;
    QSpinBox* startNumberBox = nullptr;
    QComboBox* copiesBox = nullptr;
    TMergeSheet* sheet = nullptr;
    QLabel* startLabel = nullptr;
    QLabel* warningsLabel = nullptr;
    QPushButton* removeButton = nullptr;

private:
    void chooseFile();
    void fillTable();
    void showWarnings();
    model::csvOptions_t options() const;
    std::vector<int32_t> skippedRows() const;

    const model::itemList_t& document_;
    QByteArray printAreas_;
    model::csvTable_t preview_;
    std::vector<int32_t> skipped_;  // kept across reloads
    QString copiesColumn_;
    int32_t startCell_ = 1;
    bool remove_ = false;
    bool filling_ = false;
};

// The sheet picture: one rectangle per cell, crossed-out cells struck
// through, the cells before the first grey and the first marked.
class TMergeSheet : public QWidget {
public:
    explicit TMergeSheet(TMergeDialog* owner);
    // The cell (from 1) under a point of the widget; 0 outside every cell.
    int32_t cellAt(QPoint p) const;
    QSize sizeHint() const override { return {200, 240}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TMergeDialog* owner_;
};

} // namespace ui
