// Crop marks: in the margins only, continuing every cell edge, none where a
// margin has no room; printed by the bitmap and the vector path only when
// asked for.
#include "output/cropmarks.h"

#include "carddoc.h"
#include "output/printsheet.h"
#include "output/vectorsheet.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace output;

namespace {

device_t device300(const outdoc::sheet_t& s)
{
    device_t d;
    d.ppiX = d.ppiY = 300;
    d.pageWidth = model::roundHalfEven(s.paperWidth / 25.4 * 300);
    d.pageHeight = model::roundHalfEven(s.paperHeight / 25.4 * 300);
    return d;
}

// The cells of the sheet in device pixels.
std::vector<QRect> cellRects(const model::headerBody_t& h, const device_t& d)
{
    const sheetPlacement_t p = placeSheet(h, d);
    std::vector<QRect> out;
    for (int32_t r = 1; r <= p.cells.rows; ++r)
        for (int32_t c = 1; c <= p.cells.columns; ++c)
            out.push_back(QRect(p.origin.x() + cellOffset(c, p.cellWidth, p.columnGap),
                                p.origin.y() + cellOffset(r, p.cellHeight, p.rowGap), p.cellWidth, p.cellHeight));
    return out;
}

int darkPixels(const QImage& image, QRect area)
{
    int n = 0;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++n;
    return n;
}

} // namespace

TEST(CropMarks, ContinueEveryCellEdgeInTheMarginsAndNeverTouchACell)
{
    struct markCase {
        const char* name;
        outdoc::sheet_t sheet;
        size_t marks;
    };
    const outdoc::sheet_t tenCards = outdoc::tenBusinessCards();
    outdoc::sheet_t noTopRoom = tenCards;  // a top margin too narrow for a mark
    noTopRoom.marginTop = 1;
    noTopRoom.cardHeight = 50;
    outdoc::sheet_t page;  // not a sheet of cards
    page.designType = 1;
    const markCase cases[] = {
        // 4 column edges above and below, 6 row edges (shared) left and right.
        {"TenCards", tenCards, 4 * 2 + 6 * 2},
        {"NoRoomAtTheTop", noTopRoom, 4 + 6 * 2},
        {"PlainPage", page, 0},
    };
    for (const markCase& c : cases) {
        SCOPED_TRACE(c.name);
        model::itemList_t doc;
        model::item_t* h = outdoc::build(doc, c.sheet);
        const device_t d = device300(c.sheet);
        const std::vector<QLine> lines = cropMarkLines(h->hdr(), d);
        EXPECT_EQ(lines.size(), c.marks);
        const std::vector<QRect> cells = cellRects(h->hdr(), d);
        const int gap = model::roundHalfEven(cropMarkGapMm / 25.4 * 300);
        for (const QLine& l : lines) {
            EXPECT_TRUE(l.x1() == l.x2() || l.y1() == l.y2());
            const QRect span = QRect(l.p1(), l.p2()).normalized();
            for (const QRect& cell : cells) EXPECT_FALSE(span.intersects(cell.adjusted(-gap + 1, -gap + 1, gap - 1, gap - 1)));
            EXPECT_TRUE(QRect(0, 0, d.pageWidth, d.pageHeight).contains(span));
            // Each one lies on the line of a cell edge.
            bool onEdge = false;
            for (const QRect& cell : cells)
                onEdge = onEdge || (l.x1() == l.x2() && (l.x1() == cell.left() || l.x1() == cell.left() + cell.width())) ||
                         (l.y1() == l.y2() && (l.y1() == cell.top() || l.y1() == cell.top() + cell.height()));
            EXPECT_TRUE(onEdge);
        }
        model::freeList(doc);
    }
}

// Both print paths draw the marks when asked and only then: the bitmap path
// onto its painter, the vector path into its file (an SVG here, drawn again).
TEST(CropMarks, PrintedOnlyWhenAsked)
{
    const outdoc::sheet_t s = outdoc::tenBusinessCards();
    model::itemList_t doc;
    model::item_t* h = outdoc::build(doc, s);
    device_t d = device300(s);
    const std::vector<QLine> lines = cropMarkLines(h->hdr(), d);
    ASSERT_FALSE(lines.empty());
    const QRect firstMark = QRect(lines.front().p1(), lines.front().p2()).normalized().adjusted(-2, -2, 2, 2);
    QTemporaryDir tmp;
    for (const bool marks : {false, true}) {
        SCOPED_TRACE(marks);
        QImage printed(d.pageWidth, d.pageHeight, QImage::Format_RGB32);
        printed.fill(Qt::white);
        QPainter painter(&printed);
        QString why;
        ASSERT_TRUE(printSheet(painter, doc, d, QByteArray(), {}, &why, marks)) << why.toStdString();
        painter.end();
        EXPECT_EQ(darkPixels(printed, firstMark) > 0, marks);

        vectorJob_t job;
        job.cropMarks = marks;
        const QString svg = tmp.filePath(QStringLiteral("sheet%1.svg").arg(marks));
        ASSERT_TRUE(writeVector(doc, svg, vectorFormat_t::svg, job, &why)) << why.toStdString();
        QSvgRenderer renderer(svg);
        ASSERT_TRUE(renderer.isValid());
        QImage drawn(d.pageWidth, d.pageHeight, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter p2(&drawn);
        renderer.render(&p2, QRectF(0, 0, d.pageWidth, d.pageHeight));
        p2.end();
        EXPECT_EQ(darkPixels(drawn, firstMark) > 0, marks);
    }
    model::freeList(doc);
}
