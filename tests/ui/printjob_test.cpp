#include "testnames.h"

#include "ui/printjob.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {

struct deviceCase_t {
    const char* name;
    double leftMm, topMm;
    bool fullPage;
    int32_t offX, offY;
};
void PrintTo(const deviceCase_t& c, std::ostream* os) { *os << c.name; }

class PrinterDevice : public ::testing::TestWithParam<deviceCase_t> {};

TEST_P(PrinterDevice, OffsetsAreTheMarginsOfThePrintableAreaInDevicePixels)
{
    const deviceCase_t& c = GetParam();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(c.leftMm, c.topMm, c.leftMm, c.topMm), QPageLayout::Millimeter);
    printer.setFullPage(c.fullPage);
    const output::device_t d = ui::printerDevice(printer);
    EXPECT_EQ(d.ppiX, 300);
    EXPECT_EQ(d.ppiY, 300);
    EXPECT_NEAR(d.pageWidth, 2480, 1);
    EXPECT_NEAR(d.pageHeight, 3508, 1);
    EXPECT_NEAR(d.offX, c.offX, 1);
    EXPECT_NEAR(d.offY, c.offY, 1);
}

INSTANTIATE_TEST_SUITE_P(Printers, PrinterDevice,
    ::testing::Values(deviceCase_t{"NoMargins", 0, 0, false, 0, 0},
                      // 10 mm = 118 px and 5 mm = 59 px at 300 dpi, in x and y respectively.
                      deviceCase_t{"MarginsBecomeOffsets", 10, 5, false, 118, 59},
                      deviceCase_t{"FullPageHasNoOffset", 10, 5, true, 0, 0}),
    testnames::byName());

} // namespace
