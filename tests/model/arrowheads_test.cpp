// Arrowhead values of an item: which items carry them, how stored codes read
// back (hostile ones clamped), and their place in the file: kept byte for
// byte, and invisible to a reader that skips extension records.
#include "docfile_support.h"

#include "model/arrowheads.h"
#include "model/docfile.h"
#include "model/extensions.h"
#include "model/history.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace model;
using namespace testsupport;

namespace {

std::vector<uint8_t> written(itemList_t& list)
{
    tempDir d;
    std::string error;
    EXPECT_TRUE(writeDocument(d.file("x.lmra"), list, &error)) << error;
    return readAll(d.file("x.lmra"));
}

// A document with a line and an open spline, each recorded as new.
struct headDoc {
    itemList_t list;
    item_t* line = nullptr;
    item_t* spline = nullptr;
    headDoc()
    {
        newDocument(list);
        line = newItem(list, typeLine);
        line->x1 = 10, line->y1 = 20, line->x2 = 110, line->y2 = 70;
        computeMeasure(line);
        recordNew(list, line);
        spline = newItem(list, typeSpline);
        addPoint(spline, 10, 100), addPoint(spline, 60, 140), addPoint(spline, 120, 100);
        spline->shapeVariant = variantOpen;
        computeMeasure(spline);
        recordNew(list, spline);
    }
    ~headDoc() { freeList(list); }
};

} // namespace

TEST(ArrowheadValues, StoredCodesOutOfRangeAreClamped)
{
    const struct {
        int64_t code;
        headKind_t kind;
        headSize_t size;
    } cases[] = {
        {0, headKind_t::none, headSize_t::small},       {1, headKind_t::open, headSize_t::medium},
        {2, headKind_t::filled, headSize_t::large},     {5, headKind_t::bar, headSize_t::large},
        {6, headKind_t::none, headSize_t::large},       {-1, headKind_t::none, headSize_t::small},
        {1'000'000'000, headKind_t::none, headSize_t::large},
        {INT64_MIN, headKind_t::none, headSize_t::small},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(headKindOf(c.code), c.kind) << c.code;
        EXPECT_EQ(headSizeOf(c.code), c.size) << c.code;
    }
}

TEST(ArrowheadValues, OnlyOpenPathsCarryHeads)
{
    const struct {
        int32_t type;
        int32_t variant;
        bool takes;
    } cases[] = {
        {typeLine, 0, true},        {typeArc, 0, true},           {typeSpline, variantOpen, true},
        {typeCurve, variantOpen, true}, {typeSpline, variantClosed, false}, {typeCurve, variantFilled, false},
        {typePie, 0, false},        {typeSquare, 0, false},       {typeText, 0, false},
        {typePicture, 0, false},
    };
    const lineHeads_t heads{headKind_t::open, headKind_t::filled, headSize_t::small};
    for (const auto& c : cases) {
        item_t it;
        it.itemType = c.type;
        it.shapeVariant = c.variant;
        EXPECT_EQ(takesHeads(&it), c.takes) << c.type << "/" << c.variant;
        EXPECT_EQ(setHeads(&it, heads), c.takes) << c.type;
        EXPECT_EQ(headsOf(&it), c.takes ? heads : lineHeads_t{}) << c.type;
        EXPECT_EQ(findExtensions(&it) != nullptr, c.takes) << "nothing stored on an item that cannot carry heads";
    }
}

TEST(ArrowheadValues, RemovingHeadsLeavesNoValuesBehind)
{
    item_t line;
    line.itemType = typeLine;
    extensionsOf(&line).setText("other.value", "kept");
    setHeads(&line, {headKind_t::none, headKind_t::circle, headSize_t::large});
    EXPECT_FALSE(findExtensions(&line)->find(headStartKey)) << "an end without a head stores nothing";
    setHeads(&line, {});
    EXPECT_EQ(findExtensions(&line)->entries().size(), 1u);
    EXPECT_EQ(findExtensions(&line)->text("other.value"), "kept");
}

TEST(ArrowheadFile, HeadsSurviveWriteReadWriteByteForByte)
{
    headDoc doc;
    setHeads(doc.line, {headKind_t::open, headKind_t::filled, headSize_t::large});
    setHeads(doc.spline, {headKind_t::none, headKind_t::diamond, headSize_t::small});
    const auto first = written(doc.list);
    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(first.data(), first.size(), back, q));
    EXPECT_EQ(q.asked, 0);
    int32_t lines = 0, splines = 0;
    for (const item_t* it = back.head; it; it = it->next) {
        if (it->hidden) continue;
        if (it->itemType == typeLine) {
            EXPECT_EQ(headsOf(it), (lineHeads_t{headKind_t::open, headKind_t::filled, headSize_t::large}));
            ++lines;
        }
        if (it->itemType == typeSpline) {
            EXPECT_EQ(headsOf(it), (lineHeads_t{headKind_t::none, headKind_t::diamond, headSize_t::small}));
            ++splines;
        }
    }
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(splines, 1);
    const auto second = written(back);
    itemList_t again;
    ASSERT_TRUE(readDocumentBytes(second.data(), second.size(), again, q));
    EXPECT_EQ(written(again), second);
    freeList(back);
    freeList(again);
}

TEST(ArrowheadFile, ReaderThatSkipsExtensionsSeesTheRecordsItKnowsUnchanged)
{
    // The same document with and without heads: apart from the extension
    // records, which a reader that does not know them never draws, the
    // files are the same bytes, so such a reader draws the bare lines.
    headDoc plain;
    const auto without = written(plain.list);
    headDoc headed;
    setHeads(headed.line, {headKind_t::bar, headKind_t::filled, headSize_t::medium});
    setHeads(headed.spline, {headKind_t::circle, headKind_t::none, headSize_t::large});
    const auto with = written(headed.list);
    EXPECT_GT(with.size(), without.size());
    EXPECT_EQ(withoutExtensionRecords(with), without);
}

TEST(ArrowheadFile, HostileSeedsReadWithTheirValuesClampedOrIgnored)
{
    const struct {
        const char* file;
        int32_t ownerType;
        lineHeads_t heads;
    } cases[] = {
        {"heads_out_of_range.lmra", typeLine, {headKind_t::none, headKind_t::none, headSize_t::large}},
        // A size stored as a number is not the integer this reader knows: the default stands.
        {"heads_size_as_number.lmra", typeLine, {headKind_t::none, headKind_t::filled, headSize_t::medium}},
        // A closed shape draws no heads whatever it carries.
        {"heads_on_closed_shape.lmra", typeRectangle, {}},
    };
    for (const auto& c : cases) {
        const auto bytes = readAll(std::string(LUMORA_SOURCE_DIR "/fuzz/corpus/read_document/") + c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        scriptedQuestions q;
        itemList_t back;
        ASSERT_TRUE(readDocumentBytes(bytes.data(), bytes.size(), back, q)) << c.file;
        EXPECT_EQ(q.asked, 0) << c.file << ": the records are well formed";
        const item_t* owner = nullptr;
        for (const item_t* it = back.head; it; it = it->next)
            if (it->itemType == c.ownerType && !owner) owner = it;
        ASSERT_NE(owner, nullptr) << c.file;
        ASSERT_NE(findExtensions(owner), nullptr) << c.file << ": the values stay with their item";
        EXPECT_EQ(headsOf(owner), c.heads) << c.file;
        freeList(back);
    }
}
