// lumora-cli new: documents made with a page setup, read back with info; bad
// options get a usage error and write nothing.
#include "cli_runner.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

using testcli::runCli;

namespace {

struct newCase {
    const char* name;
    QStringList options;
    int code;
    QStringList said;  // lines info prints (code 0) or words of the error
};
void PrintTo(const newCase& c, std::ostream* os) { *os << c.name; }

class NewDocument : public ::testing::TestWithParam<newCase> {};

TEST_P(NewDocument, MadeAndDescribed)
{
    const newCase& c = GetParam();
    QTemporaryDir dir;
    const QString out = dir.filePath("new.lmra");
    const auto made = runCli(QStringList{"new", out} + c.options);
    ASSERT_EQ(made.code, c.code) << made.err.toStdString();
    if (c.code != 0) {
        EXPECT_FALSE(QFileInfo::exists(out));
        for (const QString& w : c.said) EXPECT_TRUE(made.err.contains(w)) << made.err.toStdString();
        return;
    }
    const auto info = runCli({"info", out});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    for (const QString& line : c.said) EXPECT_TRUE(info.out.contains(line)) << line.toStdString() << "\n" << info.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewDocument,
    ::testing::Values(
        newCase{"BusinessCardsTurnedAreOneVerticalCard", {"--type", "4", "--unit", "mm", "--preset", "1", "--landscape"}, 0,
                {"Design type: 4 Business Cards", "Paper: 297 x 210 mm", "Card: 52 x 74 mm",
                 "Margins: left 18, top 31, right 0, bottom 0 mm", "Rows: 2, columns: 5", "Canvas: 52 x 74 mm",
                 "landscape"}},
        newCase{"GreetingCardOpensOutAcrossItsFold", {"--type", "3", "--unit", "mm"}, 0,
                {"Card: 105 x 148 mm", "Folds: column", "Canvas: 210 x 148 mm"}},
        newCase{"BrochureCanvasIsThePaper", {"--type", "10", "--unit", "in", "--preset", "0"}, 0,
                {"Design type: 10 Brochures", "Paper: 8.5 x 11 in", "Folds: row", "Canvas: 8.5 x 11 in"}},
        newCase{"LeaderboardInPixels", {"--type", "9", "--preset", "3"}, 0,
                {"Unit: pixels", "Canvas: 728 x 90 px", "landscape"}},
        newCase{"IllustrationsLetterTurned", {"--type", "1", "--landscape"}, 0,
                {"Paper: 11 x 8.5 in", "Canvas: 11 x 8.5 in", "Margins: left 0.25"}},
        newCase{"TypeOutOfRange", {"--type", "12"}, 1, {"1..11"}},
        newCase{"TypeMissing", {"--unit", "mm"}, 1, {"usage"}},
        newCase{"UnknownUnit", {"--type", "1", "--unit", "cm"}, 1, {"px, mm or in"}},
        newCase{"NoSuchPresetRow", {"--type", "6", "--unit", "mm", "--preset", "0"}, 1, {"no preset row 0", "0 rows"}}),
    testnames::byName{});

} // namespace
