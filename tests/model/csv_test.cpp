// Reading merge tables: quoting, line ends, encodings, delimiter and header
// detection, ragged rows and the bounds on hostile input.
#include "docfile_support.h"

#include "model/csv.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace model;

namespace {

using rows_t = std::vector<std::vector<std::string>>;

struct quotingCase {
    const char* name;
    std::string text;
    rows_t rows;
};

class CsvQuoting : public ::testing::TestWithParam<quotingCase> {};

// Every case has the header "a,b"; each catches one way a hand-written
// splitter goes wrong.
TEST_P(CsvQuoting, SplitsAsRfc4180Says)
{
    csvOptions_t o;
    o.header = csvHeader_t::present;
    o.delimiter = ',';
    const csvTable_t t = readCsv("a,b\r\n" + GetParam().text, o);
    ASSERT_TRUE(t.ok()) << t.error;
    EXPECT_EQ(t.rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvQuoting,
    ::testing::Values(
        quotingCase{"plain", "1,2\r\n3,4\r\n", {{"1", "2"}, {"3", "4"}}},
        quotingCase{"delimiterInQuotes", "\"x, y\",2\n", {{"x, y", "2"}}},
        quotingCase{"doubledQuote", "\"say \"\"hi\"\"\",2\n", {{"say \"hi\"", "2"}}},
        quotingCase{"newlineInQuotes", "\"line1\r\nline2\",2\r\n", {{"line1\nline2", "2"}}},
        quotingCase{"emptyQuoted", "\"\",2\n", {{"", "2"}}},
        quotingCase{"noFinalNewline", "1,2", {{"1", "2"}}},
        quotingCase{"bareCR", "1,2\r3,4\r", {{"1", "2"}, {"3", "4"}}},
        quotingCase{"blankLinesDropped", "\n1,2\n\n3,4\n\n", {{"1", "2"}, {"3", "4"}}},
        quotingCase{"trailingEmptyValue", "1,\n", {{"1", ""}}},
        quotingCase{"quoteInsideUnquoted", "ab\"c,2\n", {{"ab\"c", "2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Csv, DetectsTheDelimiter)
{
    struct {
        std::string text;
        char delimiter;
    } cases[] = {
        {"a,b,c\n1,2,3\n", ','},
        {"a;b;c\n1;2,5;3\n", ';'},  // a decimal comma does not win over a steady semicolon
        {"a\tb\n1\t2\n", '\t'},
        {"a|b\n1|2\n", '|'},
        {"\"x;y\",b\n\"1;2\",3\n", ','},  // semicolons inside quotes do not count
        {"single\nvalues\n", ','},
    };
    for (const auto& c : cases) EXPECT_EQ(readCsv(c.text, {}).delimiter, c.delimiter) << c.text;
}

TEST(Csv, DetectsAHeaderRowOrNamesColumnsByNumber)
{
    const csvTable_t named = readCsv("name,street\nAnna,Main St 1\n", {});
    EXPECT_TRUE(named.header);
    EXPECT_EQ(named.names, (std::vector<std::string>{"name", "street"}));
    EXPECT_EQ(named.rows.size(), 1u);

    // Numbers, repeats and empty values are data, not names.
    for (const char* text : {"Anna,42\nBob,7\n", "Anna,Anna\nBob,Bob\n", "Anna,\nBob,x\n"}) {
        const csvTable_t t = readCsv(text, {});
        EXPECT_FALSE(t.header) << text;
        EXPECT_EQ(t.names, (std::vector<std::string>{"1", "2"})) << text;
        EXPECT_EQ(t.rows.size(), 2u) << text;
    }
    csvOptions_t forced;
    forced.header = csvHeader_t::none;
    EXPECT_EQ(readCsv("name,street\nAnna,Main\n", forced).rows.size(), 2u);
}

TEST(Csv, ReadsEncodings)
{
    struct {
        const char* name;
        std::string bytes;
        csvEncoding_t encoding;
    } cases[] = {
        {"utf8", "name\nZo\xC3\xAB\n", csvEncoding_t::utf8},
        {"utf8Bom", "\xEF\xBB\xBFname\nZo\xC3\xAB\n", csvEncoding_t::utf8},
        {"latin1", "name\nZo\xEB\n", csvEncoding_t::windows1252},
        {"utf16le", std::string("\xFF\xFEn\0a\0m\0e\0\n\0Z\0o\0\xEB\0\n\0", 20), csvEncoding_t::utf16le},
        {"utf16be", std::string("\xFE\xFF\0n\0a\0m\0e\0\n\0Z\0o\0\xEB\0\n", 20), csvEncoding_t::utf16be},
    };
    for (const auto& c : cases) {
        const csvTable_t t = readCsv(c.bytes, {});
        ASSERT_TRUE(t.ok()) << c.name << ": " << t.error;
        EXPECT_EQ(t.encoding, c.encoding) << c.name;
        // The BOM must not stick to the first name.
        EXPECT_EQ(t.names, std::vector<std::string>{"name"}) << c.name;
        ASSERT_EQ(t.rows.size(), 1u) << c.name;
        EXPECT_EQ(t.rows[0][0], "Zo\xC3\xAB") << c.name;
    }
    // Windows-1252's own letters between 0x80 and 0x9F.
    EXPECT_EQ(readCsv("v\n\x80\x9C\n", {}).rows[0][0], "\xE2\x82\xAC\xC5\x93");
    // An override reads UTF-8 bytes as Windows-1252 when the user says so.
    csvOptions_t latin;
    latin.encoding = csvEncoding_t::windows1252;
    EXPECT_EQ(readCsv("name\nZo\xC3\xAB\n", latin).rows[0][0], "Zo\xC3\x83\xC2\xAB");
}

TEST(Csv, UnevenChunksDecodeLikeOne)
{
    // A character cut between two chunks must come out whole.
    std::string carry;
    const std::string utf8 = "a\xC3\xAB\xE2\x82\xAC";
    std::string out;
    for (char c : utf8) out += toUtf8(std::string(1, c), csvEncoding_t::utf8, carry);
    EXPECT_EQ(out, utf8);
    const std::string le("\x3D\xD8\x00\xDE", 4);  // one character beyond 16 bits
    out.clear();
    for (char c : le) out += toUtf8(std::string(1, c), csvEncoding_t::utf16le, carry);
    EXPECT_EQ(out, "\xF0\x9F\x98\x80");
}

TEST(Csv, RaggedRowsAreEvenedWithWarnings)
{
    const csvTable_t t = readCsv("a,b,c\n1,2\n1,2,3,4\n", {});
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.rows, (rows_t{{"1", "2", ""}, {"1", "2", "3"}}));
    ASSERT_EQ(t.warnings.size(), 2u);
    EXPECT_NE(t.warnings[0].find("row 1 has 2 values"), std::string::npos);
    EXPECT_NE(t.warnings[1].find("row 2 has 4 values"), std::string::npos);
}

TEST(Csv, TrimsBlanksWhenAsked)
{
    csvOptions_t o;
    o.trim = true;
    EXPECT_EQ(readCsv("name , city\n  Anna\t, \" Rome \"\n", o).rows, (rows_t{{"Anna", "Rome"}}));
    EXPECT_EQ(readCsv("name,city\n  Anna, Rome\n", {}).rows, (rows_t{{"  Anna", " Rome"}}));
}

TEST(Csv, HostileInputFailsWithAMessage)
{
    struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"openQuote", "a,b\n1,\"never closed\n2,3\n", "quote opened on line 2"},
        {"binary", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "not text"},
        {"hugeField", "a\n" + std::string(csvFieldLimit + 1, 'x') + "\n", "longer than"},
        {"tooManyColumns", std::string(csvColumnLimit + 5, ',') + "\n", "more than"},
    };
    // A value of exactly the limit is still read.
    EXPECT_TRUE(readCsv("a\n" + std::string(csvFieldLimit, 'x') + "\n", {}).ok());
    for (const auto& c : cases) {
        const csvTable_t t = readCsv(c.bytes, {});
        EXPECT_FALSE(t.ok()) << c.name;
        EXPECT_NE(t.error.find(c.says), std::string::npos) << c.name << ": " << t.error;
    }
}

TEST(Csv, APreviewReadsOnlyTheRowsItShows)
{
    testsupport::tempDir d;
    const std::string path = d.file("big.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << "n,text\n";
        for (int i = 1; i <= 200000; ++i) out << i << ",\"row " << i << "\"\n";
    }
    const csvTable_t preview = readCsvFile(path, {}, 100);
    ASSERT_TRUE(preview.ok()) << preview.error;
    EXPECT_EQ(preview.rows.size(), 100u);
    EXPECT_FALSE(preview.complete);
    EXPECT_EQ(preview.rows.back()[0], "100");
    const csvTable_t all = readCsvFile(path, {});
    EXPECT_TRUE(all.complete);
    ASSERT_EQ(all.rows.size(), 200000u);
    EXPECT_EQ(all.rows.back()[1], "row 200000");
}

TEST(Csv, RefusesAFileBeyondTheLimitUnlessPreviewed)
{
    testsupport::tempDir d;
    const std::string path = d.file("huge.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << "a\n1\n";
        std::string block;
        for (int i = 0; i < 32768; ++i) block += "2\n";
        for (size_t n = 0; n <= csvFileLimit / block.size(); ++n) out << block;
    }
    const csvTable_t whole = readCsvFile(path, {});
    EXPECT_NE(whole.error.find("larger than"), std::string::npos) << whole.error;
    const csvTable_t preview = readCsvFile(path, {}, 1);
    ASSERT_TRUE(preview.ok()) << preview.error;
    EXPECT_EQ(preview.rows, (rows_t{{"1"}}));
    EXPECT_FALSE(readCsvFile(d.file("missing.csv"), {}).ok());
}

} // namespace
