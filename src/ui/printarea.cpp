#include "ui/printarea.h"

#include "output/renderoutput.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

namespace {

QLabel* columnText(const QString& html, QWidget* parent)
{
    auto* l = new QLabel(html, parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::RichText);
    return l;
}

// A link whose highlighted words select.
QLabel* columnLink(const QString& before, const QString& words, const QString& after, QWidget* parent)
{
    QLabel* l = columnText(before + QStringLiteral("<a href=\"#\" style=\"color:#0000FF\">") + words +
                               QStringLiteral("</a>") + after,
                           parent);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

constexpr int columnWidth = 190;
constexpr int sheetMargin = 10;

} // namespace

TPrsel::TPrsel(const model::item_t* header, const QByteArray& printAreas, std::function<void(const QByteArray&)> apply,
               QWidget* parent, cropMarkOffer_t cropMarks)
    : THostedPanel(parent), hasHeader_(header != nullptr), apply_(std::move(apply))
{
    setObjectName(QStringLiteral("TPrsel"));
    auto* row = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("Prepare Print"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    left->addWidget(title);
    left->addWidget(columnText(QStringLiteral("The software will arrange your design into rows and columns. Select the "
                                              "areas you do or do not want to print by clicking inside the rectangles."),
                               this));
    allLink = columnLink(QStringLiteral("Click here to select "), QStringLiteral("all areas"),
                         QStringLiteral(". Then, you can quickly select the areas you do not want to print."), this);
    noneLink = columnLink(QStringLiteral("Click here to select "), QStringLiteral("no areas"),
                          QStringLiteral(". Then, you can quickly select the areas you want to print."), this);
    left->addWidget(allLink);
    left->addWidget(noneLink);
    left->addWidget(columnText(QStringLiteral("The areas under the red rectangles will print. The crossed-out areas will "
                                              "not print. This layout is symbolic (not drawn to exact scale)."),
                               this));
    if (cropMarks.offered) {
        cropMarksBox = new QCheckBox(QStringLiteral("Print crop marks"), this);
        cropMarksBox->setToolTip(QStringLiteral("Short lines in the margins that continue the cells' edges, for cutting the cards apart"));
        cropMarksBox->setChecked(cropMarks.ticked);
        left->addWidget(cropMarksBox);
    }
    left->addStretch(1);
    auto* leftBox = new QWidget(this);
    leftBox->setLayout(left);
    leftBox->setFixedWidth(columnWidth);
    row->addWidget(leftBox);
    sheet_ = new TPrselSheet(this);
    row->addWidget(sheet_, 1);
    QObject::connect(allLink, &QLabel::linkActivated, this, [this] { selectAll(); });
    QObject::connect(noneLink, &QLabel::linkActivated, this, [this] { selectNone(); });

    metrics_ = output::sheetMetrics(header, QSize(400, 400));
    cellCount_ = std::max(metrics_.rows, 0) * std::max(metrics_.columns, 0);
    areas_ = output::uniformAreas(cellCount_, true);
    if (header) areas_ = printAreas;
    // The sheet appears a moment after the panel, once the window has its size.
    drawTimer.setSingleShot(true);
    drawTimer.setInterval(500);
    QObject::connect(&drawTimer, &QTimer::timeout, this, [this] {
        sheet_->drawn = true;
        sheet_->update();
    });
    drawTimer.start();
}

bool TPrsel::cropMarks() const { return cropMarksBox && cropMarksBox->isChecked(); }

QSize TPrsel::preferredClientSize() const { return {640, 460}; }

bool TPrsel::applyHosted()
{
    if (apply_) apply_(areas_);
    return true;
}

void TPrsel::selectAll()
{
    areas_ = output::uniformAreas(cellCount_, true);
    sheet_->update();
}

void TPrsel::selectNone()
{
    areas_ = output::uniformAreas(cellCount_, false);
    sheet_->update();
}

void TPrsel::clickSheet(QPoint p)
{
    const output::areaSheet_t a = sheet_->layout();
    const int32_t cell = output::cellAt(a, p - sheet_->pictureOrigin(a));
    if (cell == 0) return;
    areas_ = output::toggleArea(areas_, cell);
    sheet_->update();
}

TPrselSheet::TPrselSheet(TPrsel* owner) : QWidget(owner), owner_(owner) { setMinimumSize(120, 120); }

output::areaSheet_t TPrselSheet::layout() const
{
    output::sheetMetrics_t m = owner_->metrics_;
    if (!owner_->hasHeader_) {
        m.paperWidth = width();
        m.paperHeight = height();
    }
    return output::layoutAreaSheet(m, size());
}

QPoint TPrselSheet::pictureOrigin(const output::areaSheet_t& a) const
{
    return {std::max(sheetMargin, (width() - a.picture.width()) / 2),
            std::max(sheetMargin, (height() - a.picture.height()) / 2)};
}

void TPrselSheet::paintEvent(QPaintEvent*)
{
    if (!drawn) return;
    const output::areaSheet_t a = layout();
    QPainter p(this);
    p.translate(pictureOrigin(a));
    p.fillRect(QRect(QPoint(0, 0), a.picture), Qt::white);
    for (size_t k = 0; k < a.cells.size(); ++k) {
        const QRect& r = a.cells[k];
        const int32_t row = int32_t(k) / std::max(a.columns, 1) + 1, column = int32_t(k) % std::max(a.columns, 1) + 1;
        const bool printed = output::isAreaPrinted(owner_->areas_, row, column, a.columns);
        p.setPen(printed ? QColor(Qt::red) : QColor(0xC0, 0xC0, 0xC0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        if (!printed) {
            p.drawLine(r.topLeft(), r.topLeft() + QPoint(r.width(), r.height()));
            p.drawLine(r.topLeft() + QPoint(r.width(), 0), r.topLeft() + QPoint(0, r.height()));
        }
    }
}

void TPrselSheet::mouseReleaseEvent(QMouseEvent* e)
{
    if (drawn) owner_->clickSheet(e->position().toPoint());
}

} // namespace ui
