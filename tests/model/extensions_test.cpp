// Extension data: the typed key/value API, its entry stream, its records in
// the document file, and how edits (history, clipboard, groups) carry it.
#include "docfile_support.h"

#include "model/clipboard.h"
#include "model/docfile.h"
#include "model/extensions.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace model;
using namespace testsupport;

namespace {

// A document with a header and one line, written and read once so that its
// fields are what the reader makes of them.
struct extDoc {
    itemList_t list;
    item_t* line = nullptr;
    extDoc()
    {
        newDocument(list);
        line = newItem(list, typeLine);
        line->x1 = 10, line->y1 = 20, line->x2 = 110, line->y2 = 70;
        computeMeasure(line);
        recomputePixels(line);
        recordNew(list, line);
    }
    ~extDoc() { freeList(list); }
};

std::vector<uint8_t> written(itemList_t& list)
{
    tempDir d;
    std::string error;
    EXPECT_TRUE(writeDocument(d.file("x.lmra"), list, &error)) << error;
    return readAll(d.file("x.lmra"));
}

item_t* firstOfType(itemList_t& list, int32_t type)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->itemType == type && !it->hidden) return it;
    return nullptr;
}

// Offsets of the extension records in file bytes, walking the file as the
// writer lays it out: a body, the blobs its type carries, the next body.
std::vector<size_t> extensionRecordsIn(const std::vector<uint8_t>& bytes)
{
    std::vector<size_t> out;
    for (const fileRecord& r : fileRecords(bytes))
        if (r.type == typeExtension) out.push_back(r.at);
    return out;
}

// Hand-built extension records for `stream`, owned by the record before them.
std::vector<uint8_t> handMadeRecords(const std::vector<uint8_t>& stream, const item_t* owner)
{
    extensionData_t probe;  // only for the owner fields; the stream is ours
    probe.setInteger("x", 0);
    extensionBody_t shape = extensionRecords(probe, owner).front();
    std::vector<uint8_t> out;
    const size_t parts = (stream.size() + extensionPartBytes - 1) / extensionPartBytes;
    for (size_t i = 0; i < parts; ++i) {
        extensionBody_t r = shape;
        std::memset(r.payload, 0, sizeof r.payload);
        r.part = int32_t(i);
        r.parts = int32_t(parts);
        r.streamLength = int32_t(stream.size());
        const size_t n = std::min<size_t>(extensionPartBytes, stream.size() - i * extensionPartBytes);
        r.partLength = int32_t(n);
        r.streamCheck = extensionStreamCheck(stream.data(), stream.size());
        std::memcpy(r.payload, stream.data() + i * extensionPartBytes, n);
        const auto* b = reinterpret_cast<const uint8_t*>(&r);
        out.insert(out.end(), b, b + recordSize);
    }
    return out;
}

// An entry in its file form, of any type and version.
std::vector<uint8_t> entry(const std::string& key, uint8_t type, uint16_t version, const std::vector<uint8_t>& value)
{
    std::vector<uint8_t> e{uint8_t(key.size())};
    e.insert(e.end(), key.begin(), key.end());
    e.push_back(type);
    e.push_back(uint8_t(version)), e.push_back(uint8_t(version >> 8));
    const uint32_t n = uint32_t(value.size());
    for (int i = 0; i < 4; ++i) e.push_back(uint8_t(n >> (8 * i)));
    e.insert(e.end(), value.begin(), value.end());
    return e;
}

} // namespace

TEST(ExtensionData, TypedValuesComeBackOnlyAsTheirTypeAndKnownVersion)
{
    extensionData_t d;
    EXPECT_TRUE(d.setInteger("arrow.start", -3));
    EXPECT_TRUE(d.setNumber("label.offset", 2.5, 2));
    EXPECT_TRUE(d.setText("merge.source", "names.csv"));
    EXPECT_TRUE(d.setBytes("barcode.data", {1, 2, 3}));
    EXPECT_EQ(d.integer("arrow.start"), -3);
    EXPECT_EQ(d.text("merge.source"), "names.csv");
    EXPECT_EQ(d.bytes("barcode.data"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(d.number("arrow.start")) << "another type";
    EXPECT_FALSE(d.number("label.offset")) << "version 2 is newer than a reader of version 1 knows";
    EXPECT_EQ(d.number("label.offset", 2), 2.5);
    EXPECT_FALSE(d.integer("arrow.end")) << "missing";
    // Setting again replaces in place; removing says whether there was one.
    EXPECT_TRUE(d.setInteger("arrow.start", 7));
    EXPECT_EQ(d.entries().front().key, "arrow.start");
    EXPECT_EQ(d.integer("arrow.start"), 7);
    EXPECT_TRUE(d.remove("arrow.start"));
    EXPECT_FALSE(d.remove("arrow.start"));
    EXPECT_EQ(d.entries().size(), 3u);
}

TEST(ExtensionData, MalformedKeysAndVersionZeroAreRefused)
{
    const std::string longest(extensionKeyLimit, 'a');
    const struct {
        std::string key;
        bool ok;
    } cases[] = {{"arrow.start", true}, {"a", true},        {longest, true},     {longest + "a", false},
                 {"", false},           {"Arrow", false},   {"1st", false},      {".x", false},
                 {"a b", false},        {"glue_end-2", true}, {"caf\xc3\xa9", false}};
    for (const auto& c : cases) {
        extensionData_t d;
        EXPECT_EQ(d.setInteger(c.key, 1), c.ok) << c.key;
        EXPECT_EQ(d.empty(), !c.ok) << c.key;
    }
    extensionData_t d;
    EXPECT_FALSE(d.setInteger("a", 1, 0));
    EXPECT_TRUE(d.empty());
}

TEST(ExtensionData, DamagedStreamsAreRefusedWhole)
{
    const auto good = entry("a.b", 1, 1, std::vector<uint8_t>(8, 0));
    struct {
        const char* what;
        std::vector<uint8_t> stream;
        bool ok;
    } cases[] = {
        {"one entry", good, true},
        {"an unknown type keeps any length", entry("a.c", 99, 4, {1, 2, 3}), true},
        {"cut in the value", std::vector<uint8_t>(good.begin(), good.end() - 1), false},
        {"cut in the key", std::vector<uint8_t>(good.begin(), good.begin() + 3), false},
        {"integer of 7 bytes", entry("a.b", 1, 1, std::vector<uint8_t>(7, 0)), false},
        {"number of 9 bytes", entry("a.b", 2, 1, std::vector<uint8_t>(9, 0)), false},
        {"version 0", entry("a.b", 3, 0, {}), false},
        {"malformed key", entry("A", 3, 1, {}), false},
    };
    for (auto& c : cases) {
        extensionData_t d;
        EXPECT_EQ(decodeExtensionEntries(c.stream.data(), c.stream.size(), d), c.ok) << c.what;
        if (!c.ok) {
            EXPECT_TRUE(d.empty()) << c.what;
        }
    }
    auto twice = good;
    twice.insert(twice.end(), good.begin(), good.end());
    extensionData_t d;
    EXPECT_FALSE(decodeExtensionEntries(twice.data(), twice.size(), d)) << "a key twice";
}

TEST(ExtensionFile, ItemAndDocumentDataSurviveWriteAndRead)
{
    extDoc doc;
    extensionsOf(doc.line).setInteger("arrow.start", 2);
    extensionsOf(doc.line).setText("label.text", std::string(500, 'x'));  // three records' worth
    documentExtensions(doc.list)->setText("merge.source", "names.csv");
    const auto bytes = written(doc.list);
    EXPECT_EQ(extensionRecordsIn(bytes).size(), 1u + 3u) << "the document's in one record, the line's in three";

    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(bytes.data(), bytes.size(), back, q));
    EXPECT_EQ(q.asked, 0);
    EXPECT_FALSE(isModified(back));
    item_t* line = firstOfType(back, typeLine);
    ASSERT_NE(line, nullptr);
    ASSERT_NE(findExtensions(line), nullptr);
    EXPECT_EQ(*findExtensions(line), *findExtensions(doc.line));
    ASSERT_NE(documentExtensions(back), nullptr);
    EXPECT_EQ(documentExtensions(back)->text("merge.source"), "names.csv");
    for (const item_t* it = back.head; it; it = it->next) EXPECT_NE(it->itemType, typeExtension) << "not a record";
    freeList(back);
}

TEST(ExtensionFile, UnknownDataSurvivesReadAndWriteByteForByte)
{
    extDoc doc;
    // The file as this program leaves it after a read (ids renumbered).
    scriptedQuestions q;
    itemList_t read0;
    const auto first = written(doc.list);
    ASSERT_TRUE(readDocumentBytes(first.data(), first.size(), read0, q));
    const auto plain = written(read0);
    // The line's record ends the file: its extension records go after it.
    std::vector<uint8_t> stream = entry("future.thing", 42, 9, {9, 8, 7, 6, 5});
    const auto second = entry("arrow.end", 1, 3, std::vector<uint8_t>(8, 0xEE));
    stream.insert(stream.end(), second.begin(), second.end());
    const auto bigger = entry("zz.blob", 4, 1, std::vector<uint8_t>(300, 0x5A));
    stream.insert(stream.end(), bigger.begin(), bigger.end());
    std::vector<uint8_t> withData = plain;
    const auto records = handMadeRecords(stream, firstOfType(read0, typeLine));
    withData.insert(withData.end(), records.begin(), records.end());
    freeList(read0);

    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(withData.data(), withData.size(), back, q));
    EXPECT_EQ(q.asked, 0);
    const extensionData_t* d = findExtensions(firstOfType(back, typeLine));
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->integer("arrow.end")) << "version 3 is not known: not interpreted";
    EXPECT_EQ(written(back), withData);
    freeList(back);
}

TEST(ExtensionFile, DamagedExtensionRecordIsRefusedLikeAnyDamagedRecord)
{
    extDoc doc;
    extensionsOf(doc.line).setText("label.text", std::string(300, 'y'));  // two records
    const auto good = written(doc.list);
    const auto at = extensionRecordsIn(good);
    ASSERT_EQ(at.size(), 2u);
    const size_t first = at[0], second = at[1];
    struct {
        const char* what;
        size_t offset;
        std::vector<uint8_t> bytes;
    } damages[] = {
        {"wrong magic", first + 60, {0, 0, 0, 0}},
        {"payload byte changed", second + 256 + 5, {'z'}},
        {"check changed", first + 176, {0x12}},
        {"part out of order", second + 160, {0}},
        {"part length too long", second + 172, {0xC1}},
        {"unknown layout", first + 120, {2}},
        {"unknown owner", first + 116, {9}},
        {"stream longer than its parts", first + 168, {0xFF, 0x7F}},
    };
    for (const auto& d : damages) {
        auto bytes = good;
        std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + std::ptrdiff_t(d.offset));
        for (const bool answer : {false, true}) {
            scriptedQuestions q;
            q.answer = answer;
            itemList_t list;
            newDocument(list);
            const bool read = readDocumentBytes(bytes.data(), bytes.size(), list, q);
            EXPECT_EQ(q.asked, 1) << d.what;
            EXPECT_EQ(read, answer) << d.what;
            if (answer && std::string(d.what) != "wrong magic") {
                EXPECT_TRUE(isModified(list)) << d.what << ": opened with an invalid record";
                const extensionData_t* e = findExtensions(firstOfType(list, typeLine));
                EXPECT_TRUE(!e || e->empty()) << d.what << ": damaged data is dropped";
            }
            freeList(list);
        }
    }
    // A stream cut short by the end of the file.
    auto cut = good;
    cut.resize(second);
    scriptedQuestions q;
    itemList_t list;
    EXPECT_FALSE(readDocumentBytes(cut.data(), cut.size(), list, q));
    EXPECT_EQ(q.asked, 1);
    freeList(list);
}

TEST(ExtensionFile, RecordsKeepClearOfWhatAReaderOfUnknownRecordsRewrites)
{
    // A reader that does not know the type reads the body alone (no blob),
    // rebuilds its pixel fields from the measures and renumbers its step;
    // its writer then saves the body as it holds it. The data must survive.
    extDoc doc;
    extensionsOf(doc.line).setInteger("arrow.start", 5);
    auto bytes = written(doc.list);
    const auto at = extensionRecordsIn(bytes);
    ASSERT_EQ(at.size(), 1u);
    item_t stranger;
    std::memcpy(stranger.bodyBytes(), &bytes[at[0]], recordSize);
    EXPECT_EQ(stranger.blobLength, 0) << "no blob that a stranger would read as records";
    EXPECT_NE(stranger.kind, kindItem) << "not drawn, picked or stepped by a stranger";
    recomputePixels(&stranger);
    // What else such a reader may leave there: anything in the pixel fields
    // (the magic aside) and in the step fields.
    uint8_t* b = stranger.bodyBytes();
    std::memset(b + 16, 0xA5, 60 - 16);
    std::memset(b + 64, 0xA5, 112 - 64);
    std::memset(b + 229, 0x5A, 249 - 229);
    std::memcpy(&bytes[at[0]], stranger.bodyBytes(), recordSize);
    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(bytes.data(), bytes.size(), back, q));
    EXPECT_EQ(q.asked, 0);
    EXPECT_EQ(findExtensions(firstOfType(back, typeLine))->integer("arrow.start"), 5);
    freeList(back);
}

TEST(ExtensionFile, DataOfAnItemChangedElsewhereIsDroppedNotGivenToItsNeighbour)
{
    // An editor that does not know extension records moved the line (its
    // defining points differ) or deleted it (the records follow another item).
    extDoc doc;
    item_t* other = newItem(doc.list, typeRectangle);
    other->x2 = other->y2 = 40;
    computeMeasure(other);
    unlinkItem(doc.list, doc.line);
    appendItem(doc.list, doc.line);  // the line last: its records end the file
    extensionsOf(doc.line).setInteger("arrow.start", 5);
    const auto bytes = written(doc.list);
    const auto ext = extensionRecordsIn(bytes);
    ASSERT_EQ(ext.size(), 1u);
    const size_t lineAt = ext[0] - recordSize;
    for (const char* change : {"moved", "deleted"}) {
        auto b = bytes;
        if (std::string(change) == "moved") {
            const double mx = 99.0;
            std::memcpy(&b[lineAt + 72], &mx, sizeof mx);
        } else {
            b.erase(b.begin() + std::ptrdiff_t(lineAt), b.begin() + std::ptrdiff_t(lineAt + recordSize));
        }
        scriptedQuestions q;
        itemList_t back;
        ASSERT_TRUE(readDocumentBytes(b.data(), b.size(), back, q)) << change;
        EXPECT_EQ(q.asked, 0) << change;
        for (const item_t* it = back.head; it; it = it->next)
            EXPECT_TRUE(!it->extensions || it->extensions->empty()) << change;
        freeList(back);
    }
}

TEST(ExtensionEdits, HistoryCarriesAnItemsDataThroughEditUndoAndRedo)
{
    extDoc doc;
    extensionsOf(doc.line).setInteger("arrow.start", 1);
    setSelected(doc.list, doc.line, true);
    const auto edited = beginEdit(doc.list);
    ASSERT_EQ(edited.size(), 1u);
    item_t* moved = edited[0];
    ASSERT_NE(moved, doc.line);
    ASSERT_NE(findExtensions(moved), nullptr);
    EXPECT_EQ(findExtensions(moved)->integer("arrow.start"), 1);
    extensionsOf(moved).setInteger("arrow.start", 2);  // the edit changes the copy only
    EXPECT_EQ(findExtensions(doc.line)->integer("arrow.start"), 1);
    ASSERT_TRUE(undo(doc.list));
    EXPECT_FALSE(doc.line->hidden);
    EXPECT_EQ(findExtensions(doc.line)->integer("arrow.start"), 1);
    ASSERT_TRUE(redo(doc.list));
    EXPECT_FALSE(moved->hidden);
    EXPECT_EQ(findExtensions(moved)->integer("arrow.start"), 2);
}

TEST(ExtensionEdits, ClipboardCarriesDataWithinAndBetweenDocuments)
{
    extDoc from, to;
    extensionsOf(from.line).setText("label.text", "hello");
    documentExtensions(from.list)->setText("merge.source", "a.csv");
    setSelected(from.list, from.line, true);
    itemList_t clip;
    copySelection(from.list, clip);
    for (itemList_t* target : {&from.list, &to.list}) {
        const auto pasted = pasteClipboard(*target, clip);
        ASSERT_EQ(pasted.size(), 1u);
        ASSERT_NE(findExtensions(pasted[0]), nullptr);
        EXPECT_EQ(findExtensions(pasted[0])->text("label.text"), "hello");
        extensionsOf(pasted[0]).setText("label.text", "changed");
    }
    EXPECT_EQ(findExtensions(from.line)->text("label.text"), "hello") << "the copies are copies";
    EXPECT_FALSE(documentExtensions(to.list)->text("merge.source")) << "a paste takes items, not the document's data";
    freeList(clip);
}

TEST(ExtensionEdits, JoinAndSplitKeepEachItemsData)
{
    extDoc doc;
    item_t* box = newItem(doc.list, typeRectangle);
    box->x2 = box->y2 = 30;
    computeMeasure(box);
    extensionsOf(doc.line).setInteger("arrow.start", 1);
    extensionsOf(box).setText("label.text", "box");
    setSelected(doc.list, doc.line, true);
    setSelected(doc.list, box, true);
    ASSERT_NE(joinItems(doc.list), nullptr);
    auto check = [&](const char* when) {
        int lines = 0, boxes = 0;
        for (item_t* it = doc.list.head; it; it = it->next) {
            if (it->hidden || it->kind != kindItem) continue;
            if (it->itemType == typeLine) {
                ++lines;
                EXPECT_EQ(findExtensions(it)->integer("arrow.start"), 1) << when;
            } else if (it->itemType == typeRectangle) {
                ++boxes;
                EXPECT_EQ(findExtensions(it)->text("label.text"), "box") << when;
            }
        }
        EXPECT_EQ(lines, 1) << when;
        EXPECT_EQ(boxes, 1) << when;
    };
    check("joined");
    for (item_t* it = doc.list.head; it; it = it->next)
        if (!it->hidden && it->kind == kindItem) setSelected(doc.list, it, true);
    EXPECT_GT(splitGroup(doc.list), 0);
    check("split");
}
