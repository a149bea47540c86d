// Writing documents: which records and blobs go into the file, the fields the
// writer sets, and that a failed save keeps both the old file and the
// document's modified flag.
#include "docfile_support.h"

#include <csignal>
#include <sys/resource.h>

using namespace model;
using namespace testsupport;

namespace {

template <typename T>
T at(const std::vector<uint8_t>& b, size_t off)
{
    T v;
    std::memcpy(&v, b.data() + off, sizeof v);
    return v;
}

// Splits written bytes into (offset of body, itemType) using the writer's own
// blob lengths, as a reader that trusts them would.
std::vector<std::pair<size_t, int32_t>> records(const std::vector<uint8_t>& b)
{
    std::vector<std::pair<size_t, int32_t>> r;
    size_t pos = 0;
    while (pos + recordSize <= b.size()) {
        const int32_t type = at<int32_t>(b, pos + 4);
        r.push_back({pos, type});
        size_t blobs = 0;
        const int32_t len = at<int32_t>(b, pos + 112);
        if (type == typeHeader || type == typeText || isShapeType(type) || type == typeGrid || type == typePictureData)
            blobs += size_t(std::max(len, 0));
        if (type == typePictureData) blobs += size_t(std::max(at<int32_t>(b, pos + 56), 0));
        pos += recordSize + blobs;
    }
    EXPECT_EQ(pos, b.size()) << "no bytes between or after records";
    return r;
}

} // namespace

TEST(DocfileWrite, WithoutHeaderNothingIsWritten)
{
    tempDir d;
    itemList_t l;
    newItem(l, typeLine);
    std::string error;
    EXPECT_FALSE(writeDocument(d.file("x.lmra"), l, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(d.file("x.lmra")));
    EXPECT_TRUE(std::filesystem::is_empty(d.path())) << "no temporary file is left behind";
    freeList(l);
}

TEST(DocfileWrite, HeaderAndGridWriteTwoRecordsWithTextAndAnchors)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    item_t* grid = l.tail;
    addAnchorX(grid, 10);
    addAnchorY(grid, 20);
    addAnchorX(grid, 30)->deleted = 1;
    addAnchorX(grid, 40);
    ASSERT_TRUE(writeDocument(d.file("a.lmra"), l));
    const auto b = readAll(d.file("a.lmra"));
    const auto r = records(b);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(at<int32_t>(b, 112), 8 * 2) << "header text 210, U+07EC, 297, U+07EC";
    EXPECT_EQ(at<char16_t>(b, 448 + 3 * 2), u'\u07EC');
    const size_t g = r[1].first;
    EXPECT_EQ(at<int32_t>(b, g + 112), 3 * 8);
    const int32_t expect[] = {1, 10, 1, 40, 2, 20};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(at<int32_t>(b, g + 448 + 4 * i), expect[i]) << i;
    EXPECT_EQ(b.size(), 2u * 448 + 16 + 24);
    freeList(l);
}

TEST(DocfileWrite, WhichRecordsAreWritten)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    item_t* hiddenLine = newItem(l, typeLine);
    hiddenLine->hidden = 255;
    item_t* marker = newItem(l, typeDeletionMarker);
    marker->replacesStep = hiddenLine->stepId;
    newItem(l, typeText);  // no text
    item_t* one = newItem(l, typeText);
    setText(one, u"x");
    item_t* nul = newItem(l, typeText);
    setText(nul, std::u16string(u"\0abc", 4));  // text ends at the first NUL
    item_t* pattern = newItem(l, -1);
    pattern->kind = kindPattern;
    pattern->hidden = 255;  // only kind 0 records are filtered
    // Picture 7 shown by a visible item, 8 only by a hidden version, 9 by nothing.
    for (int32_t id : {7, 8, 9}) {
        item_t* data = newItem(l, typePictureData);
        data->kind = kindPictureData;
        data->pictureId = id;
    }
    item_t* shown = newItem(l, typePicture);
    shown->pictureId = 7;
    item_t* gone = newItem(l, typePicture);
    gone->pictureId = 8;
    gone->hidden = 255;
    invalidateIds(l);
    ASSERT_TRUE(writeDocument(d.file("w.lmra"), l));
    const auto b = readAll(d.file("w.lmra"));
    std::vector<int32_t> types;
    std::vector<int32_t> pictures;
    for (auto [pos, type] : records(b)) {
        types.push_back(type);
        if (type == typePictureData) pictures.push_back(at<int32_t>(b, pos + 289));
        if (type == typeText) {
            EXPECT_EQ(at<int32_t>(b, pos + 112), 2) << "a one-character text";
        }
    }
    EXPECT_EQ(types, (std::vector<int32_t>{typeHeader, typeGrid, typeText, -1, typePictureData, typePicture}));
    EXPECT_EQ(pictures, std::vector<int32_t>{7});
    freeList(l);
}

TEST(DocfileWrite, SetsMagicVersionHistoryAndBlobLengthsOnTheLiveList)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    item_t* h = findHeader(l);
    h->hdr().historyKept = 1;
    h->hdr().fileVersion = 3;
    item_t* s = newItem(l, typeStar);
    for (int i = 0; i < 5; ++i) addPoint(s, i, i);
    s->blobLength = 1;
    s->magic = 0;
    item_t* t = newItem(l, typeText);
    setText(t, u"ab");
    t->extraLength1 = 12;
    t->extraLength2 = 3;
    item_t* pd = newItem(l, typePictureData);
    pd->kind = kindPictureData;
    pd->pictureId = 5;
    pd->stream = std::make_unique<std::vector<uint8_t>>(std::vector<uint8_t>{9, 8, 7});
    setText(pd, u"p.bmp");
    newItem(l, typePicture)->pictureId = 5;
    invalidateIds(l);
    ASSERT_TRUE(writeDocument(d.file("m.lmra"), l));
    EXPECT_EQ(h->hdr().historyKept, 0);
    EXPECT_EQ(h->hdr().fileVersion, 164);
    EXPECT_EQ(s->magic, recordMagic);
    EXPECT_EQ(s->blobLength, 5 * 56);
    EXPECT_EQ(t->blobLength, 4);
    EXPECT_EQ(t->extraLength1, 0) << "no legacy block is written, so none may be announced";
    EXPECT_EQ(t->extraLength2, 0);
    EXPECT_EQ(pd->blobLength, 3);
    EXPECT_EQ(pd->fileNameBlobLength(), 10);
    // Picture data: body, stream, then the name.
    const auto b = readAll(d.file("m.lmra"));
    for (auto [pos, type] : records(b))
        if (type == typePictureData) {
            EXPECT_EQ(b[pos + 448], 9);
            EXPECT_EQ(at<char16_t>(b, pos + 448 + 3), u'p');
        }
    freeList(l);
}

TEST(DocfileWrite, SuccessClearsModifiedAndReplacesTheFile)
{
    tempDir d;
    writeAll(d.file("s.lmra"), std::vector<uint8_t>(5000, 1));
    itemList_t l;
    newDocument(l);
    newItem(l, typeLine);
    ASSERT_TRUE(isModified(l));
    std::string error;
    ASSERT_TRUE(writeDocument(d.file("s.lmra"), l, &error)) << error;
    EXPECT_FALSE(isModified(l));
    EXPECT_EQ(readAll(d.file("s.lmra")).size(), 3u * 448 + 16);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.path()), {}), 1);
    freeList(l);
}

TEST(DocfileWrite, FailedWriteKeepsThePreviousFileAndTheModifiedFlag)
{
    tempDir d;
    const std::vector<uint8_t> previous(300, 0x5A);
    writeAll(d.file("f.lmra"), previous);
    itemList_t l;
    newDocument(l);
    for (int i = 0; i < 200; ++i) newItem(l, typeLine);  // about 90 KB
    ASSERT_TRUE(isModified(l));

    // The file system refuses to grow a file past 8 KB: the write fails midway.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool ok = writeDocument(d.file("f.lmra"), l, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("f.lmra"), std::string::npos) << error;
    EXPECT_TRUE(isModified(l)) << "closing the window must still ask to save";
    EXPECT_EQ(readAll(d.file("f.lmra")), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.path()), {}), 1) << "temporary file removed";
    freeList(l);
}

// Each refusal names its real cause: a folder that exists but takes no new
// files (as /proc) is not reported as missing.
TEST(DocfileWrite, UnwritableTargetsFailWithTheirReason)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    newItem(l, typeLine);
    std::filesystem::create_directory(d.file("folder.lmra"));
    {
        std::ofstream plain(d.file("plain"));
    }
    const std::pair<std::string, std::string> cases[] = {
        {d.file("no/such/folder/x.lmra"), "the folder " + d.file("no/such/folder") + " does not exist"},
        {d.file("plain/x.lmra"), d.file("plain") + " is not a folder"},
        {d.file("folder.lmra"), " is a folder"},
        {"/proc/x.lmra", "the folder /proc does not accept new files"},
        {"  ", "no file name was given"},
    };
    for (const auto& [name, reason] : cases) {
        std::string error;
        EXPECT_FALSE(writeDocument(name, l, &error)) << name;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_TRUE(isModified(l));
    }
    freeList(l);
}

TEST(DocfileWrite, TextOfHalfTheBlobLimitIsRefused)
{
    tempDir d;
    const std::vector<uint8_t> previous(10, 1);
    writeAll(d.file("t.lmra"), previous);
    const struct {
        int32_t owner;  // record type holding the long text
        int32_t units;
        bool written;
    } cases[] = {
        {typeText, 511999, true},  {typeText, 512000, false},        {typeHeader, 512000, false},
        {typePictureData, 512000, false}, {typePictureData, 511999, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owner);
        SCOPED_TRACE(c.units);
        itemList_t l;
        newDocument(l);
        item_t* owner = c.owner == typeHeader ? findHeader(l) : newItem(l, c.owner);
        if (c.owner == typePictureData) {
            owner->kind = kindPictureData;
            owner->pictureId = 3;
            newItem(l, typePicture)->pictureId = 3;
        }
        setText(owner, std::u16string(size_t(c.units), u'w'));
        setModified(l, true);
        std::string error;
        EXPECT_EQ(writeDocument(d.file("t.lmra"), l, &error), c.written) << error;
        if (c.written) {
            scriptedQuestions q;
            itemList_t back;
            ASSERT_TRUE(readDocument(d.file("t.lmra"), back, q));
            const item_t* r = c.owner == typeHeader ? findHeader(back) : findByType(back, c.owner);
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(textLength(r), c.units);
            freeList(back);
            writeAll(d.file("t.lmra"), previous);
        } else {
            EXPECT_NE(error.find("512,000"), std::string::npos) << error;
            EXPECT_TRUE(isModified(l));
            EXPECT_EQ(readAll(d.file("t.lmra")), previous);
        }
        freeList(l);
    }
}

TEST(DocfileWrite, ALongTextInAHiddenVersionDoesNotStopTheSave)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    item_t* old = newItem(l, typeText);
    setText(old, std::u16string(600000, u'o'));
    old->hidden = 255;
    setText(newItem(l, typeText), u"short");
    EXPECT_TRUE(writeDocument(d.file("h.lmra"), l));
    freeList(l);
}

TEST(DocfileWrite, SavingThroughALinkReplacesTheLinkedFile)
{
    tempDir d;
    writeAll(d.file("real.lmra"), {1, 2, 3});
    std::filesystem::create_symlink(d.file("real.lmra"), d.file("link.lmra"));
    itemList_t l;
    newDocument(l);
    ASSERT_TRUE(writeDocument(d.file("link.lmra"), l));
    EXPECT_TRUE(std::filesystem::is_symlink(d.file("link.lmra")));
    EXPECT_EQ(readAll(d.file("real.lmra")).size(), 2u * 448 + 16);
    freeList(l);
}

// A recovery snapshot: the same bytes a save writes, without clearing the
// modified flag, and written in one step like a save.
TEST(DocfileWrite, EncodingInMemoryGivesTheSavedBytesAndKeepsTheDocumentModified)
{
    tempDir d;
    itemList_t l;
    newDocument(l);
    newItem(l, typeLine);
    model::item_t* t = newItem(l, typeText);
    model::setText(t, u"snapshot");
    setModified(l, true);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(encodeDocument(l, bytes, &error)) << error;
    EXPECT_TRUE(isModified(l));
    ASSERT_TRUE(writeDocument(d.file("saved.lmra"), l));
    EXPECT_EQ(bytes, readAll(d.file("saved.lmra")));

    ASSERT_TRUE(writeBytesToFile(d.file("copy.lmra"), bytes, &error)) << error;
    EXPECT_EQ(readAll(d.file("copy.lmra")), bytes);
    EXPECT_FALSE(writeBytesToFile("/proc/x.lmra", bytes, &error));
    EXPECT_NE(error.find("does not accept new files"), std::string::npos) << error;

    itemList_t headless;
    EXPECT_FALSE(encodeDocument(headless, bytes, &error));
    EXPECT_TRUE(bytes.empty());
    freeList(l);
}
