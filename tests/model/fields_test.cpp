// Field substitution in texts, the merge settings kept with the document,
// and how cards are numbered and placed on sheets.
#include "docfile_support.h"

#include "model/docfile.h"
#include "model/fields.h"
#include "model/itemlist.h"
#include "model/mergecards.h"
#include "model/mergesource.h"

#include <gtest/gtest.h>

#include <map>

using namespace model;
using testsupport::newDocument;

namespace {

constexpr char16_t sep = u'|';  // a visible line separator for the cases

struct fieldCase {
    const char* name;
    std::u16string text;
    std::u16string out;
    std::vector<std::u16string> missing;
    std::vector<std::u16string> unknown;
};

class Substitution : public ::testing::TestWithParam<fieldCase> {};

TEST_P(Substitution, ReplacesFieldsByTheRules)
{
    const std::map<std::u16string, std::u16string, std::less<>> row = {
        {u"first", u"Anna"}, {u"last", u"Berg"}, {u"street2", u""}, {u"city", u"Rome"}, {u"title", u""}};
    fieldLookup_t lookup = [&](std::u16string_view name) -> std::optional<std::u16string_view> {
        const auto it = row.find(name);
        if (it == row.end()) return std::nullopt;
        return std::u16string_view(it->second);
    };
    fieldReport_t report;
    EXPECT_EQ(substituteFields(GetParam().text, sep, lookup, 7, &report), GetParam().out);
    EXPECT_EQ(report.missing, GetParam().missing);
    EXPECT_EQ(report.unknown, GetParam().unknown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Substitution,
    ::testing::Values(
        fieldCase{"plain", u"Dear ${first}!", u"Dear Anna!", {}, {}},
        fieldCase{"twoOnALine", u"${first} ${last}", u"Anna Berg", {}, {}},
        fieldCase{"blanksInName", u"${ first }", u"Anna", {}, {}},
        fieldCase{"defaultUnused", u"${first:=Guest}", u"Anna", {}, {}},
        fieldCase{"defaultUsed", u"Dear ${title:=friend}", u"Dear friend", {}, {}},
        fieldCase{"runningNumber", u"No. ${#}", u"No. 7", {}, {}},
        fieldCase{"escaped", u"$${first} costs $5", u"${first} costs $5", {}, {}},
        fieldCase{"openFieldIsText", u"${first", u"${first", {}, {}},
        fieldCase{"unknownStaysVisible", u"${nick}", u"${nick}", {}, {u"nick"}},
        // An address without its second line leaves no empty line ...
        fieldCase{"emptyLineDropped", u"${first}|${street2}|${city}", u"Anna|Rome", {}, {}},
        fieldCase{"blanksAndEmptyFieldsDropped", u"A| ${title} ${street2} |B", u"A|B", {}, {}},
        // ... but an empty field among other text is printed as nothing and reported.
        fieldCase{"emptyAmongText", u"Mr ${title}.", u"Mr .", {u"title"}, {}},
        fieldCase{"emptyBesideValue", u"${title} ${first}", u" Anna", {u"title"}, {}},
        // An empty default is the user's choice: the line stays, nothing reported.
        fieldCase{"emptyDefaultChosen", u"A|x${street2:=}|B", u"A|x|B", {}, {}},
        fieldCase{"firstLineDropped", u"${street2}|${city}", u"Rome", {}, {}},
        fieldCase{"lastLineDropped", u"${city}|${street2}", u"Rome", {}, {}},
        fieldCase{"emptyTextLineKept", u"A||B", u"A||B", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fields, NamesInATextAreListedOnceWithoutTheNumber)
{
    EXPECT_EQ(fieldNamesIn(u"${a} ${#} ${b:=x} $${c} ${a}"), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_TRUE(hasFields(u"x ${a}"));
    EXPECT_FALSE(hasFields(u"$ {a}"));
}

TEST(Fields, Utf8AndUtf16RoundTrip)
{
    const std::string s = "Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(utf16Of(s), u"Zoë € 😀");
    EXPECT_EQ(utf8Of(utf16Of(s)), s);
}

TEST(MergeSettings, SurviveWriteReadWrite)
{
    itemList_t list;
    newDocument(list);
    mergeSettings_t s;
    s.source = "data/names.csv";
    s.sourceAbsolute = "/home/u/cards/data/names.csv";
    s.options.delimiter = ';';
    s.options.header = csvHeader_t::none;
    s.options.encoding = csvEncoding_t::windows1252;
    s.options.trim = true;
    s.startNumber = 1001;
    s.startCell = 7;
    s.copiesColumn = "copies";
    s.skipped = {2, 3, 4, 9};
    ASSERT_TRUE(writeMergeSettings(list, s));
    testsupport::tempDir d;
    std::string error;
    ASSERT_TRUE(writeDocument(d.file("a.lmra"), list, &error)) << error;
    itemList_t back;
    testsupport::scriptedQuestions q;
    ASSERT_TRUE(readDocument(d.file("a.lmra"), back, q, &error)) << error;
    mergeSettings_t read;
    ASSERT_TRUE(readMergeSettings(back, read));
    EXPECT_EQ(read, s);
    // Written again, read again: the same file.
    ASSERT_TRUE(writeDocument(d.file("b.lmra"), back, &error)) << error;
    itemList_t again;
    ASSERT_TRUE(readDocument(d.file("b.lmra"), again, q, &error)) << error;
    ASSERT_TRUE(writeDocument(d.file("c.lmra"), again, &error)) << error;
    EXPECT_EQ(testsupport::readAll(d.file("b.lmra")), testsupport::readAll(d.file("c.lmra")));
    freeList(again);
    // Dropping the merge leaves a document without one.
    EXPECT_TRUE(clearMergeSettings(back));
    EXPECT_FALSE(readMergeSettings(back, read));
    freeList(list);
    freeList(back);
}

TEST(MergeSettings, SourceIsRelativeOnlyBesideOrBelowTheDocument)
{
    struct {
        const char* source;
        const char* document;
        const char* stored;
    } cases[] = {
        {"/home/u/cards/names.csv", "/home/u/cards/badge.lmra", "names.csv"},
        {"/home/u/cards/data/names.csv", "/home/u/cards/badge.lmra", "data/names.csv"},
        {"/home/u/other/names.csv", "/home/u/cards/badge.lmra", "/home/u/other/names.csv"},
        {"/home/u/names.csv", "", "/home/u/names.csv"},
    };
    for (const auto& c : cases) {
        const std::string stored = storedSourcePath(c.source, c.document);
        EXPECT_EQ(stored, c.stored) << c.source;
        if (*c.document) {
            EXPECT_EQ(resolveSourcePath(stored, c.document), c.source);
        }
    }
    // A relative path follows the document when the folder moves.
    EXPECT_EQ(resolveSourcePath("names.csv", "/mnt/usb/badge.lmra"), "/mnt/usb/names.csv");
}

TEST(MergeSettings, SourceFallsBackToItsAbsolutePathWhenTheDocumentMoved)
{
    testsupport::tempDir d;
    const std::string table = d.file("names.csv");
    testsupport::writeAll(table, {'a', '\n'});
    mergeSettings_t s;
    s.source = "names.csv";
    s.sourceAbsolute = table;
    // Saved into another folder: no names.csv there, the original is found.
    EXPECT_EQ(locateSource(s, "/elsewhere/badge.lmra"), table);
    // Beside the document the relative path wins.
    EXPECT_EQ(locateSource(s, d.file("badge.lmra")), table);
    // Neither exists: the relative one, for the message to name.
    s.sourceAbsolute = d.file("gone.csv");
    EXPECT_EQ(locateSource(s, "/elsewhere/badge.lmra"), "/elsewhere/names.csv");
}

TEST(MergeSettings, RowRangesRoundTripAndRejectDamage)
{
    EXPECT_EQ(rowRanges({1, 3, 4, 5, 9}), "1,3-5,9");
    EXPECT_EQ(parseRowRanges("1,3-5,9"), (std::vector<int32_t>{1, 3, 4, 5, 9}));
    EXPECT_EQ(parseRowRanges("5-3,x,0,-2,4,4,2-2"), (std::vector<int32_t>{2, 4}));
    EXPECT_TRUE(parseRowRanges("1-2000000000").empty());
}

csvTable_t table(std::vector<std::string> names, std::vector<std::vector<std::string>> rows)
{
    csvTable_t t;
    t.names = std::move(names);
    t.rows = std::move(rows);
    t.header = true;
    return t;
}

TEST(MergeCards, TickedRowsAndCopiesAreNumberedInOrder)
{
    const csvTable_t t = table({"name", "copies"}, {{"A", "2"}, {"B", "1"}, {"C", "0"}, {"D", "x"}, {"E", "3"}});
    mergeSettings_t s;
    s.startNumber = 10;
    s.copiesColumn = "Copies";  // found ignoring case
    s.skipped = {2};
    const mergeCards_t c = mergeCards(t, s);
    ASSERT_TRUE(c.error.empty());
    EXPECT_EQ(c.cards, (std::vector<mergeCard_t>{{0, 10}, {0, 11}, {3, 12}, {4, 13}, {4, 14}, {4, 15}}));
    ASSERT_EQ(c.warnings.size(), 1u);
    EXPECT_NE(c.warnings[0].find("row 4"), std::string::npos);
    s.copiesColumn = "count";
    EXPECT_FALSE(mergeCards(t, s).error.empty());
}

TEST(MergeCards, PlacesCardsFromTheStartCellOverAsManySheetsAsNeeded)
{
    auto count = [](const std::vector<int32_t>& sheet) {
        return std::count_if(sheet.begin(), sheet.end(), [](int32_t k) { return k >= 0; });
    };
    // 25 cards on ten-card sheets from cell 7: 4 + 10 + 10 + 1.
    const auto sheets = placeCards(25, 10, 7, {});
    ASSERT_EQ(sheets.size(), 4u);
    EXPECT_EQ(count(sheets[0]), 4);
    EXPECT_EQ(count(sheets[1]), 10);
    EXPECT_EQ(count(sheets[3]), 1);
    EXPECT_EQ(sheets[0][5], -1);
    EXPECT_EQ(sheets[0][6], 0);   // cell 7 holds the first card
    EXPECT_EQ(sheets[1][0], 4);   // the second sheet starts at its first cell
    EXPECT_EQ(sheets[3][0], 24);
    // Crossed-out cells are skipped on every sheet.
    const auto skip = placeCards(5, 4, 2, [](int32_t cell) { return cell != 3; });
    ASSERT_EQ(skip.size(), 2u);
    EXPECT_EQ(skip[0], (std::vector<int32_t>{-1, 0, -1, 1}));
    EXPECT_EQ(skip[1], (std::vector<int32_t>{2, 3, -1, 4}));
    EXPECT_TRUE(placeCards(5, 4, 1, [](int32_t) { return false; }).empty());
    EXPECT_TRUE(placeCards(0, 4, 1, {}).empty());
}

TEST(MergeCards, WarnsOfUnknownFieldsAndMissingValues)
{
    itemList_t list;
    newDocument(list);
    item_t* text = newItem(list, typeText);
    text->text = u"${name}";
    text->text += lineSeparator;
    text->text += u"${street2}";
    text->text += lineSeparator;
    text->text += u"Tel. ${phone} ${nick}";
    const csvTable_t t = table({"name", "street2", "phone"}, {{"A", "", "1"}, {"B", "x", ""}});
    const auto w = mergeWarnings(list, t, mergeCards(t, {}).cards);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_NE(w[0].find("\"nick\""), std::string::npos) << w[0];
    // Row 1 lacks only the second street, whose line is left out: no warning.
    EXPECT_EQ(w[1], "row 2 has no value for phone");
    freeList(list);
}

} // namespace
