#include "ui/mergedialog.h"

#include "model/fields.h"
#include "model/mergecards.h"
#include "output/areasheet.h"
#include "output/mergesheet.h"
#include "output/renderoutput.h"
#include "ui/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

namespace {

constexpr char delimiters[] = {0, ',', ';', '\t', '|'};
constexpr model::csvHeader_t headers[] = {model::csvHeader_t::detect, model::csvHeader_t::present, model::csvHeader_t::none};
constexpr model::csvEncoding_t encodings[] = {model::csvEncoding_t::detect, model::csvEncoding_t::utf8,
                                              model::csvEncoding_t::windows1252, model::csvEncoding_t::utf16le,
                                              model::csvEncoding_t::utf16be};
constexpr int sheetMargin = 6;
constexpr int warningLines = 8;

template <typename T, size_t N>
int indexOf(const T (&list)[N], T value)
{
    for (size_t k = 0; k < N; ++k)
        if (list[k] == value) return int(k);
    return 0;
}

QString encodingName(model::csvEncoding_t e)
{
    switch (e) {
    case model::csvEncoding_t::utf8: return QStringLiteral("UTF-8");
    case model::csvEncoding_t::windows1252: return QStringLiteral("Windows-1252 (Latin-1)");
    case model::csvEncoding_t::utf16le: return QStringLiteral("UTF-16 LE");
    case model::csvEncoding_t::utf16be: return QStringLiteral("UTF-16 BE");
    default: return QStringLiteral("detected");
    }
}

QString delimiterName(char d)
{
    switch (d) {
    case ';': return QStringLiteral("semicolons");
    case '\t': return QStringLiteral("tabs");
    case '|': return QStringLiteral("bars");
    default: return QStringLiteral("commas");
    }
}

} // namespace

TMergeDialog::TMergeDialog(const model::itemList_t& document, const model::mergeSettings_t& start,
                           const QByteArray& printAreas, QWidget* parent)
    : QDialog(parent), document_(document), printAreas_(printAreas), skipped_(start.skipped),
      copiesColumn_(QString::fromStdString(start.copiesColumn)), startCell_(std::max(start.startCell, 1))
{
    setObjectName(QStringLiteral("TMergeDialog"));
    setWindowTitle(QStringLiteral("Merge"));
    auto* outer = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Data file:"), this));
    sourceEdit = new QLineEdit(this);
    sourceEdit->setReadOnly(true);
    fileRow->addWidget(sourceEdit, 1);
    chooseButton = new QPushButton(QStringLiteral("Choose..."), this);
    fileRow->addWidget(chooseButton);
    outer->addLayout(fileRow);

    auto* readRow = new QHBoxLayout;
    delimiterBox = new QComboBox(this);
    delimiterBox->addItems({QStringLiteral("Detect"), QStringLiteral("Comma"), QStringLiteral("Semicolon"),
                            QStringLiteral("Tab"), QStringLiteral("Bar")});
    delimiterBox->setCurrentIndex(indexOf(delimiters, start.options.delimiter));
    headerBox = new QComboBox(this);
    headerBox->addItems({QStringLiteral("Detect"), QStringLiteral("First row holds names"), QStringLiteral("No names row")});
    headerBox->setCurrentIndex(indexOf(headers, start.options.header));
    encodingBox = new QComboBox(this);
    encodingBox->addItems({QStringLiteral("Detect"), QStringLiteral("UTF-8"), QStringLiteral("Windows-1252 (Latin-1)"),
                           QStringLiteral("UTF-16 LE"), QStringLiteral("UTF-16 BE")});
    encodingBox->setCurrentIndex(indexOf(encodings, start.options.encoding));
    trimBox = new QCheckBox(QStringLiteral("Trim blanks"), this);
    trimBox->setChecked(start.options.trim);
    readRow->addWidget(new QLabel(QStringLiteral("Delimiter:"), this));
    readRow->addWidget(delimiterBox);
    readRow->addWidget(new QLabel(QStringLiteral("Header:"), this));
    readRow->addWidget(headerBox);
    readRow->addWidget(new QLabel(QStringLiteral("Encoding:"), this));
    readRow->addWidget(encodingBox);
    readRow->addWidget(trimBox);
    readRow->addStretch(1);
    outer->addLayout(readRow);

    auto* middle = new QHBoxLayout;
    auto* tableColumn = new QVBoxLayout;
    table = new QTableWidget(this);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    tableColumn->addWidget(table, 1);
    infoLabel = new QLabel(this);
    infoLabel->setWordWrap(true);
    tableColumn->addWidget(infoLabel);
    middle->addLayout(tableColumn, 3);

    auto* side = new QVBoxLayout;
    auto* form = new QFormLayout;
    startNumberBox = new QSpinBox(this);
    startNumberBox->setRange(0, 999999999);
    startNumberBox->setValue(int(std::clamp<int64_t>(start.startNumber, 0, 999999999)));
    form->addRow(QStringLiteral("First number (${#}):"), startNumberBox);
    copiesBox = new QComboBox(this);
    form->addRow(QStringLiteral("Copies column:"), copiesBox);
    side->addLayout(form);
    startLabel = new QLabel(this);
    side->addWidget(startLabel);
    sheet = new TMergeSheet(this);
    side->addWidget(sheet, 1);
    middle->addLayout(side, 1);
    outer->addLayout(middle, 1);

    warningsLabel = new QLabel(this);
    warningsLabel->setWordWrap(true);
    warningsLabel->setStyleSheet(QStringLiteral("color: #A00000"));
    outer->addWidget(warningsLabel);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    removeButton = buttons->addButton(QStringLiteral("End Merge"), QDialogButtonBox::DestructiveRole);
    removeButton->setEnabled(!start.source.empty());
    outer->addWidget(buttons);

    connect(chooseButton, &QPushButton::clicked, this, [this] { chooseFile(); });
    for (QComboBox* box : {delimiterBox, headerBox, encodingBox})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(trimBox, &QCheckBox::toggled, this, [this] { reload(); });
    connect(copiesBox, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        copiesColumn_ = copiesBox->currentIndex() > 0 ? copiesBox->currentText() : QString();
        showWarnings();
    });
    connect(startNumberBox, &QSpinBox::valueChanged, this, [this] { showWarnings(); });
    connect(table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() != 0) return;
        skipped_ = skippedRows();
        showWarnings();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!sourceEdit->text().isEmpty() && preview_.ok()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(removeButton, &QPushButton::clicked, this, [this] {
        remove_ = true;
        accept();
    });
    resize(900, 560);
    pickStartCell(startCell_);
    setSource(QString::fromStdString(start.source));
}

const model::item_t* TMergeDialog::header() const { return model::findHeader(document_); }

model::csvOptions_t TMergeDialog::options() const
{
    model::csvOptions_t o;
    o.delimiter = delimiters[std::clamp(delimiterBox->currentIndex(), 0, int(std::size(delimiters)) - 1)];
    o.header = headers[std::clamp(headerBox->currentIndex(), 0, int(std::size(headers)) - 1)];
    o.encoding = encodings[std::clamp(encodingBox->currentIndex(), 0, int(std::size(encodings)) - 1)];
    o.trim = trimBox->isChecked();
    return o;
}

model::mergeSettings_t TMergeDialog::settings() const
{
    model::mergeSettings_t s;
    s.source = sourceEdit->text().toStdString();
    s.options = options();
    s.startNumber = startNumberBox->value();
    s.startCell = startCell_;
    s.copiesColumn = copiesColumn_.toStdString();
    s.skipped = skipped_;
    return s;
}

void TMergeDialog::chooseFile()
{
    fileRequest_t r;
    r.title = QStringLiteral("Choose the Data File");
    r.folder = sourceEdit->text().isEmpty() ? QString() : QFileInfo(sourceEdit->text()).absolutePath();
    r.filter = QStringLiteral("Tables|*.csv;*.tsv;*.txt|All files|*");
    const QString file = dialogs().openFile(r);
    if (file.isEmpty()) return;
    // Another table: its rows are not the ones ticked before.
    if (file != sourceEdit->text()) skipped_.clear();
    setSource(file);
}

void TMergeDialog::setSource(const QString& path)
{
    sourceEdit->setText(path);
    reload();
}

void TMergeDialog::reload()
{
    if (sourceEdit->text().isEmpty()) {
        preview_ = {};
        preview_.error = "no data file is chosen";
    } else {
        preview_ = model::readCsvFile(sourceEdit->text().toStdString(), options(), mergePreviewRows);
    }
    fillTable();
    showWarnings();
}

void TMergeDialog::fillTable()
{
    filling_ = true;
    table->clear();
    const auto& t = preview_;
    table->setColumnCount(int(t.names.size()) + 1);
    table->setRowCount(int(t.rows.size()));
    QStringList labels{QStringLiteral("Print")};
    for (const auto& n : t.names) labels << QString::fromStdString(n);
    table->setHorizontalHeaderLabels(labels);
    for (int r = 0; r < int(t.rows.size()); ++r) {
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        const bool skipped = std::binary_search(skipped_.begin(), skipped_.end(), r + 1);
        tick->setCheckState(skipped ? Qt::Unchecked : Qt::Checked);
        table->setItem(r, 0, tick);
        for (int c = 0; c < int(t.names.size()); ++c)
            table->setItem(r, c + 1, new QTableWidgetItem(QString::fromStdString(t.rows[size_t(r)][size_t(c)])));
    }
    table->resizeColumnsToContents();

    copiesBox->clear();
    copiesBox->addItem(QStringLiteral("(one card per row)"));
    for (const auto& n : t.names) copiesBox->addItem(QString::fromStdString(n));
    const int copies = copiesColumn_.isEmpty() ? 0 : copiesBox->findText(copiesColumn_);
    copiesBox->setCurrentIndex(std::max(copies, 0));
    if (copies < 0) copiesColumn_.clear();

    if (!t.ok()) {
        infoLabel->setText(sourceEdit->text().isEmpty() ? QStringLiteral("Choose the file that holds one row per card.")
                                                        : QStringLiteral("The file cannot be read: %1.")
                                                              .arg(QString::fromStdString(t.error)));
    } else {
        QString info = QStringLiteral("Read as %1, values separated by %2, %3.")
                           .arg(encodingName(t.encoding), delimiterName(t.delimiter),
                                t.header ? QStringLiteral("the first row names the fields")
                                         : QStringLiteral("fields named by number (${1}, ${2}, ...)"));
        if (!t.complete) info += QStringLiteral(" The first %1 rows are shown; the rows after them are all printed.").arg(t.rows.size());
        infoLabel->setText(info);
    }
    filling_ = false;
}

std::vector<int32_t> TMergeDialog::skippedRows() const
{
    std::vector<int32_t> rows;
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0) && table->item(r, 0)->checkState() != Qt::Checked) rows.push_back(r + 1);
    // Rows beyond the preview keep what was stored for them.
    for (int32_t r : skipped_)
        if (r > table->rowCount()) rows.push_back(r);
    return rows;
}

void TMergeDialog::showWarnings()
{
    QStringList lines;
    if (preview_.ok()) {
        for (const auto& w : preview_.warnings) lines << QString::fromStdString(w);
        const model::mergeCards_t cards = model::mergeCards(preview_, settings());
        if (!cards.error.empty()) lines << QString::fromStdString(cards.error);
        for (const auto& w : cards.warnings) lines << QString::fromStdString(w);
        for (const auto& w : model::mergeWarnings(document_, preview_, cards.cards)) lines << QString::fromStdString(w);
    }
    const qsizetype more = lines.size() - warningLines;
    if (more > 0) {
        lines = lines.mid(0, warningLines);
        lines << QStringLiteral("... and %1 more").arg(more);
    }
    warningsLabel->setText(lines.join(QLatin1Char('\n')));
}

void TMergeDialog::pickStartCell(int32_t cell)
{
    const model::item_t* h = header();
    const int32_t cells = h ? output::cellsPerSheet(h->hdr()) : 1;
    startCell_ = std::clamp(cell, 1, std::max(cells, 1));
    startLabel->setText(QStringLiteral("First card in cell %1 of %2 (click the sheet):").arg(startCell_).arg(cells));
    sheet->update();
}

TMergeSheet::TMergeSheet(TMergeDialog* owner) : QWidget(owner), owner_(owner) { setMinimumSize(120, 150); }

namespace {

struct placedSheet_t {
    output::areaSheet_t a;
    QPoint at;
};

placedSheet_t placedSheet(const model::item_t* header, QSize size)
{
    const QSize inner = size - QSize(2 * sheetMargin, 2 * sheetMargin);
    const output::areaSheet_t a = output::layoutAreaSheet(output::sheetMetrics(header, inner), inner);
    return {a, QPoint(std::max(sheetMargin, (size.width() - a.picture.width()) / 2),
                      std::max(sheetMargin, (size.height() - a.picture.height()) / 2))};
}

} // namespace

int32_t TMergeSheet::cellAt(QPoint p) const
{
    const placedSheet_t s = placedSheet(owner_->header(), size());
    return output::cellAt(s.a, p - s.at);
}

void TMergeSheet::paintEvent(QPaintEvent*)
{
    const placedSheet_t s = placedSheet(owner_->header(), size());
    QPainter p(this);
    p.translate(s.at);
    p.fillRect(QRect(QPoint(0, 0), s.a.picture), Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(QRect(QPoint(0, 0), s.a.picture - QSize(1, 1)));
    const int32_t columns = std::max(s.a.columns, 1);
    for (size_t k = 0; k < s.a.cells.size(); ++k) {
        const QRect& r = s.a.cells[k];
        const int32_t cell = int32_t(k) + 1;
        const bool printed = output::isAreaPrinted(owner_->printAreas(), int32_t(k) / columns + 1, int32_t(k) % columns + 1, columns);
        if (cell < owner_->startCell()) p.fillRect(r, QColor(0xE0, 0xE0, 0xE0));
        else if (cell == owner_->startCell()) p.fillRect(r, QColor(0xFF, 0xE0, 0x80));
        p.setPen(printed ? QColor(Qt::red) : QColor(0xC0, 0xC0, 0xC0));
        p.drawRect(r);
        if (!printed) {
            p.drawLine(r.topLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomLeft());
        } else if (cell == owner_->startCell()) {
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter, QStringLiteral("1"));
        }
    }
}

void TMergeSheet::mouseReleaseEvent(QMouseEvent* e)
{
    if (const int32_t cell = cellAt(e->position().toPoint())) owner_->pickStartCell(cell);
}

} // namespace ui
