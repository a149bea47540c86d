// The document file's reader: records and their blobs into a list of their
// own, checked against the memory budget as they come, swapped in only when
// the whole file was taken.
#include "model/docfile_parts.h"

#include "geometry/units.h"
#include "model/extensions.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <algorithm>
#include <cstddef>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

namespace fs = std::filesystem;

namespace model {

using namespace docfile;

namespace {


// Where the reader takes its bytes from; `remaining` bounds every allocation.
class byteSource {
public:
    virtual ~byteSource() = default;
    // Reads up to n bytes; fewer means the end of the data (or an error).
    virtual size_t read(void* dst, size_t n) = 0;
    virtual uint64_t remaining() const = 0;
    // Drops up to n bytes; returns how many were dropped.
    virtual uint64_t skip(uint64_t n) = 0;
    virtual bool failed() const { return false; }
    virtual std::string error() const { return {}; }
};

class memorySource : public byteSource {
public:
    memorySource(const uint8_t* d, size_t n) : d_(d), n_(n) {}
    size_t read(void* dst, size_t n) override
    {
        n = std::min(n, n_ - pos_);
        if (n) std::memcpy(dst, d_ + pos_, n);
        pos_ += n;
        return n;
    }
    uint64_t remaining() const override { return n_ - pos_; }
    uint64_t skip(uint64_t n) override
    {
        n = std::min<uint64_t>(n, n_ - pos_);
        pos_ += n;
        return n;
    }

private:
    const uint8_t* d_;
    size_t n_;
    size_t pos_ = 0;
};

class fileSource : public byteSource {
public:
    fileSource(std::FILE* f, uint64_t size) : f_(f), size_(size) { std::setvbuf(f_, nullptr, _IOFBF, 1 << 20); }
    ~fileSource() override { std::fclose(f_); }
    size_t read(void* dst, size_t n) override
    {
        const size_t got = std::fread(dst, 1, n, f_);
        if (got < n && std::ferror(f_)) err_ = errno ? errno : EIO;
        pos_ += got;
        return got;
    }
    uint64_t remaining() const override { return pos_ < size_ ? size_ - pos_ : 0; }
    uint64_t skip(uint64_t n) override
    {
        n = std::min(n, remaining());
        if (n && std::fseek(f_, static_cast<long>(n), SEEK_CUR) != 0) {
            err_ = errno ? errno : EIO;
            return 0;
        }
        pos_ += n;
        return n;
    }
    bool failed() const override { return err_ != 0; }
    std::string error() const override { return systemMessage(err_); }

private:
    std::FILE* f_;
    uint64_t size_;
    uint64_t pos_ = 0;
    int err_ = 0;
};

// Reads a blob of `len` bytes into `out`. A blob that runs past the end of the
// data is dropped without allocating its size, and the rest is consumed so
// that the next body read ends the file; so is a blob that memory cannot hold
// (the meter then says so and the read stops).
bool readBlob(byteSource& src, int32_t len, std::vector<uint8_t>& out, memoryMeter& meter)
{
    out.clear();
    if (len <= 0) return false;
    if (static_cast<uint64_t>(len) > src.remaining() || !meter.take(static_cast<uint64_t>(len))) {
        src.skip(src.remaining());
        return false;
    }
    out.resize(static_cast<size_t>(len));
    const size_t got = src.read(out.data(), out.size());
    if (got < out.size()) {
        out.clear();
        return false;
    }
    return true;
}

// A text blob of an accepted length becomes the record's text. Blobs that are
// too long are stepped over: the writer never produces one, and reading their
// bytes as the next record would only give garbage.
void readTextBlob(byteSource& src, int32_t len, std::vector<uint8_t>& buf, item_t* it, memoryMeter& meter)
{
    if (len <= 0) return;
    if (!acceptedTextLength(len)) {
        src.skip(static_cast<uint64_t>(len));
        return;
    }
    if (!readBlob(src, len, buf, meter)) return;
    std::u16string t(buf.size() / 2, u'\0');
    std::memcpy(t.data(), buf.data(), t.size() * 2);
    setText(it, t);
}

void skipBlock(byteSource& src, int32_t len)
{
    if (len > 0) src.skip(static_cast<uint64_t>(len));
}

struct readState {
    explicit readState(uint64_t budget) : meter(budget) {}
    memoryMeter meter;
    bool checkMagic = true;
    bool acceptedInvalid = false;
    uint8_t historyKept = 0;
    int32_t version = 0;
    int32_t counter = 0;
    // The record extension data of the next extension records belongs to.
    item_t* lastRecord = nullptr;
    // The parts of one owner's extension entry stream gathered so far.
    bool extensionOpen = false;
    extensionBody_t extensionFirst{};
    int32_t extensionNext = 0;
    std::vector<uint8_t> extensionStream;
    extensionData_t documentExtensions;
};

void renumber(readState& st, item_t* it)
{
    if (st.historyKept != 0) return;
    it->undoState = 0;
    it->replacesStep = 0;
    it->stepId = ++st.counter;
}

enum class readOutcome { taken, refused, failed, tooManyRecords, outOfMemory };

// A damaged record: the user is asked, as for a wrong magic, whether to read
// on (at most once); the extension data that was being gathered is dropped.
readOutcome damaged(readState& st, docReadQuestions_t& questions)
{
    st.extensionOpen = false;
    st.extensionStream.clear();
    if (st.checkMagic) {
        if (!questions.askOpenInvalid()) return readOutcome::refused;
        st.checkMagic = false;
    }
    st.acceptedInvalid = true;
    return readOutcome::taken;
}

bool sameOwner(const extensionBody_t& a, const extensionBody_t& b)
{
    return a.owner == b.owner && a.ownerType == b.ownerType && a.parts == b.parts && a.streamLength == b.streamLength &&
           a.streamCheck == b.streamCheck && std::memcmp(&a.ownerMx1, &b.ownerMx1, 4 * sizeof(double)) == 0;
}

// Whether the record's own numbers agree: its layout, owner and the place and
// size of its part in the stream.
bool wellFormedPart(const extensionBody_t& r)
{
    int32_t kind;
    std::memcpy(&kind, r.common116, sizeof kind);
    if (kind != kindExtension || r.layout != extensionLayout) return false;
    if (r.owner != extensionOwnerDocument && r.owner != extensionOwnerItem) return false;
    if (r.streamLength <= 0 || r.parts < 1 || r.part < 0 || r.part >= r.parts) return false;
    if (int64_t(r.parts) != (int64_t(r.streamLength) + extensionPartBytes - 1) / extensionPartBytes) return false;
    const int64_t rest = int64_t(r.streamLength) - int64_t(r.part) * extensionPartBytes;
    return r.partLength == std::min<int64_t>(extensionPartBytes, rest);
}

// Gives a whole entry stream to its owner: the document, or the item record
// before the extension records when it is still the item they were written
// for (same type, same defining points). An item an editor that does not
// know extension records changed or removed has lost its data: the stream
// is dropped then, never given to a neighbour.
void attachExtensions(readState& st, const extensionData_t& data)
{
    extensionData_t* to = nullptr;
    const extensionBody_t& r = st.extensionFirst;
    if (r.owner == extensionOwnerDocument) {
        to = &st.documentExtensions;
    } else if (item_t* owner = st.lastRecord; owner && owner->kind == kindItem && owner->itemType == r.ownerType &&
                                              std::memcmp(&owner->mx1, &r.ownerMx1, 4 * sizeof(double)) == 0) {
        to = &extensionsOf(owner);
    }
    if (to)
        for (const auto& e : data.entries()) to->put(e);
}

// Takes one extension record; the stream it completes goes to its owner.
readOutcome takeExtensionPart(const uint8_t* body, readState& st, docReadQuestions_t& questions)
{
    extensionBody_t r;
    std::memcpy(&r, body, recordSize);
    if (!wellFormedPart(r)) return damaged(st, questions);
    if (r.part == 0) {
        if (st.extensionOpen) {
            const readOutcome o = damaged(st, questions);  // the stream before it was cut short
            if (o != readOutcome::taken) return o;
        }
        st.extensionOpen = true;
        st.extensionFirst = r;
        st.extensionNext = 0;
        st.extensionStream.clear();
    } else if (!st.extensionOpen || r.part != st.extensionNext || !sameOwner(r, st.extensionFirst)) {
        return damaged(st, questions);
    }
    if (!st.meter.take(uint64_t(r.partLength))) return readOutcome::tooManyRecords;
    st.extensionStream.insert(st.extensionStream.end(), r.payload, r.payload + r.partLength);
    if (++st.extensionNext < r.parts) return readOutcome::taken;
    st.extensionOpen = false;
    extensionData_t data;
    const auto& stream = st.extensionStream;
    if (extensionStreamCheck(stream.data(), stream.size()) != r.streamCheck ||
        !decodeExtensionEntries(stream.data(), stream.size(), data))
        return damaged(st, questions);
    attachExtensions(st, data);
    return readOutcome::taken;
}

// The end of the records: a stream still open was cut short; the document's
// extension data goes to the header.
readOutcome finishRecords(itemList_t& fresh, docReadQuestions_t& questions, readState& st)
{
    if (st.extensionOpen) {
        const readOutcome o = damaged(st, questions);
        if (o != readOutcome::taken) return o;
    }
    if (!st.documentExtensions.empty())
        if (extensionData_t* doc = documentExtensions(fresh))
            for (const auto& e : st.documentExtensions.entries()) doc->put(e);
    return readOutcome::taken;
}

// Returns `refused` when the user refused an invalid record, `tooManyRecords`
// when the next record would not fit in the memory budget.
readOutcome readRecords(byteSource& src, itemList_t& fresh, docReadQuestions_t& questions, readState& st,
                        const anchorMarker_t& marker)
{
    std::vector<uint8_t> buf;
    uint8_t body[recordSize];
    for (;;) {
        if (st.meter.exhausted()) return readOutcome::tooManyRecords;
        const size_t got = src.read(body, recordSize);
        if (got < size_t(recordSize)) {
            // A few bytes that are not even one record (a small picture
            // renamed, say) are no document; an empty file is an empty one.
            if (got > 0 && !fresh.head && st.checkMagic) {
                if (!questions.askOpenInvalid()) return readOutcome::refused;
                st.checkMagic = false;
                st.acceptedInvalid = true;
            }
            return finishRecords(fresh, questions, st);
        }
        int32_t type, magic;
        std::memcpy(&type, body + offsetof(itemBody_t, itemType), sizeof type);
        std::memcpy(&magic, body + offsetof(itemBody_t, magic), sizeof magic);
        if (type == typeExtension) {
            if (st.checkMagic && magic != recordMagic) {
                if (!questions.askOpenInvalid()) return readOutcome::refused;
                st.checkMagic = false;
                st.acceptedInvalid = true;
            }
            const readOutcome o = takeExtensionPart(body, st, questions);
            if (o != readOutcome::taken) return o;
            continue;
        }
        if (st.extensionOpen) {
            const readOutcome o = damaged(st, questions);  // its last parts are missing
            if (o != readOutcome::taken) return o;
        }
        if (!st.meter.take(recordMemoryCost)) return readOutcome::tooManyRecords;
        auto* it = new item_t;
        std::memcpy(it->bodyBytes(), body, recordSize);
        appendItem(fresh, it);
        st.lastRecord = it;

        if (st.checkMagic && it->magic != recordMagic) {
            if (!questions.askOpenInvalid()) return readOutcome::refused;
            st.checkMagic = false;
            st.acceptedInvalid = true;
        }

        if (type == typeHeader) {
            auto& h = it->hdr();
            st.version = h.fileVersion;
            st.historyKept = h.historyKept;
            h.reserved322 = 0;
            readTextBlob(src, h.blobLength, buf, it, st.meter);
            geometry::pxPerUnit(h.unit, h.pxPerUnitX, h.pxPerUnitY);
            geometry::computeCanvasPixels(it);
        } else if (type == typeText) {
            recomputePixels(it);
            readTextBlob(src, it->blobLength, buf, it, st.meter);
            skipBlock(src, it->extraLength1);
            skipBlock(src, it->extraLength2);
            renumber(st, it);
        } else if (isShapeType(type)) {
            recomputePixels(it);
            if (readBlob(src, it->blobLength, buf, st.meter) && st.meter.take(buf.size() / pointEntrySize * pointMemoryCost)) {
                freeNodes(it->points);
                const size_t n = buf.size() / pointEntrySize;
                for (size_t i = 0; i < n; ++i) {
                    pointPayload_t p;
                    std::memcpy(&p, buf.data() + i * pointEntrySize, pointEntrySize);
                    addPoint(it, p);
                }
            }
            renumber(st, it);
        } else if (type == typeGrid) {
            recomputePixels(it);
            if (readBlob(src, it->blobLength, buf, st.meter) && buf.size() >= size_t(anchorEntrySize) &&
                st.meter.take(buf.size() / anchorEntrySize * anchorMemoryCost)) {
                const size_t n = buf.size() / anchorEntrySize;
                for (size_t i = 0; i < n; ++i) {
                    int32_t e[2];
                    std::memcpy(e, buf.data() + i * anchorEntrySize, sizeof e);
                    if (e[0] == anchorAxisX) addAnchorX(it, e[1], marker);
                    else if (e[0] == anchorAxisY) addAnchorY(it, e[1], marker);
                }
            }
            renumber(st, it);
        } else if (type == typePictureData) {
            if (readBlob(src, it->blobLength, buf, st.meter))
                it->stream = std::make_unique<std::vector<uint8_t>>(std::move(buf));
            buf = {};
            readTextBlob(src, it->fileNameBlobLength(), buf, it, st.meter);
        } else {
            recomputePixels(it);
            renumber(st, it);
        }
    }
}

// Reads every record into a list of its own and swaps it in only when all
// went well; allocation failure on the way leaves `list` as it was.
readOutcome readFrom(byteSource& src, itemList_t& list, docReadQuestions_t& questions, uint64_t budget,
                     const anchorMarker_t& marker)
{
    itemList_t fresh;
    readState st(budget);
    readOutcome outcome = readOutcome::outOfMemory;
    try {
        outcome = readRecords(src, fresh, questions, st, marker);
        if (outcome == readOutcome::taken && src.failed()) outcome = readOutcome::failed;
    } catch (const std::bad_alloc&) {
        outcome = readOutcome::outOfMemory;
    }
    if (outcome != readOutcome::taken) {
        freeList(fresh);
        return outcome;
    }
    setModified(fresh, st.acceptedInvalid);
    // Renumbering lowered ids the cache saw while appending; refill it once.
    invalidateIds(fresh);
    nextStepId(fresh);
    freeList(list);
    moveList(fresh, list);
    if (st.version > formatVersion)
        questions.warnNewerVersion(std::string(newerVersionLine1) + "\r\n" + newerVersionLine2);
    return readOutcome::taken;
}

// The sentence for a read that did not succeed; empty for a refusal.
std::string outcomeMessage(readOutcome o, const std::string& what, const byteSource& src)
{
    switch (o) {
    case readOutcome::taken:
    case readOutcome::refused: return {};
    case readOutcome::failed: return "cannot read " + what + ": " + src.error();
    case readOutcome::tooManyRecords: return tooManyRecordsMessage(what);
    case readOutcome::outOfMemory: return "there is not enough memory to read " + what;
    }
    return {};
}

} // namespace

bool readDocument(const std::string& fileName, itemList_t& list, docReadQuestions_t& questions, std::string* error,
                  const anchorMarker_t& marker, const readLimits_t& limits)
{
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    const std::string name = trimmed(fileName);
    if (name.empty()) return fail("no file name was given");
    std::error_code ec;
    const auto status = fs::status(name, ec);
    if (!fs::exists(status)) return fail(name + ": no such file");
    if (fs::is_directory(status)) return fail(name + " is a folder, not a document");
    if (!fs::is_regular_file(status)) return fail(name + " is not a file");
    const uintmax_t size = fs::file_size(name, ec);
    if (ec) return fail("cannot read " + name + ": " + ec.message());
    // Refused before anything is allocated for it.
    if (size > limits.maxFileBytes) return fail(tooLargeMessage(name, limits));
    const uint64_t budget = budgetOf(limits);
    if (!recordsCanFit(size, budget)) return fail(tooManyRecordsMessage(name));
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) return fail("cannot read " + name + ": " + systemMessage(errno));
    fileSource src(f, size);
    const readOutcome o = readFrom(src, list, questions, budget, marker);
    return o == readOutcome::taken || fail(outcomeMessage(o, name, src));
}

bool readDocumentBytes(const uint8_t* data, size_t size, itemList_t& list, docReadQuestions_t& questions,
                       std::string* error, const anchorMarker_t& marker, const readLimits_t& limits)
{
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    if (!data) size = 0;
    if (size > limits.maxFileBytes) return fail(tooLargeMessage("the document", limits));
    const uint64_t budget = budgetOf(limits);
    if (!recordsCanFit(size, budget)) return fail(tooManyRecordsMessage("the document"));
    memorySource src(data, size);
    const readOutcome o = readFrom(src, list, questions, budget, marker);
    return o == readOutcome::taken || fail(outcomeMessage(o, "the document", src));
}

void recomputePixels(item_t* it)
{
    if (!it) return;
    const auto& s = screen();
    it->x1 = roundHalfEven(static_cast<long double>(it->mx1) / s.pxPerMmX);
    it->y1 = roundHalfEven(static_cast<long double>(it->my1) / s.pxPerMmY);
    it->x2 = roundHalfEven(static_cast<long double>(it->mx2) / s.pxPerMmX);
    it->y2 = roundHalfEven(static_cast<long double>(it->my2) / s.pxPerMmY);
    // Wide arithmetic: the points come from files and may be anywhere.
    const int64_t x1 = it->x1, y1 = it->y1, x2 = it->x2, y2 = it->y2;
    int64_t left = std::min(x1, x2), right = std::max(x1, x2);
    int64_t top = std::min(y1, y2), bottom = std::max(y1, y2);
    int64_t w = right - left, h = bottom - top;
    if (it->itemType == typePicture && it->clipShape == clipRound) {
        const long double dx = x1 - x2, dy = y1 - y2;
        const int64_t r = roundHalfEven(std::sqrt(dx * dx + dy * dy));
        left = x1 - r;
        right = x1 + r;
        top = y1 - r;
        bottom = y1 + r;
        w = h = 2 * r;
    }
    it->boxLeft = static_cast<int32_t>(left);
    it->boxRight = static_cast<int32_t>(right);
    it->boxTop = static_cast<int32_t>(top);
    it->boxBottom = static_cast<int32_t>(bottom);
    it->boxWidth = static_cast<int32_t>(w);
    it->boxHeight = static_cast<int32_t>(h);
    const long double bw = it->boxWidth, bh = it->boxHeight;
    it->diagonal = roundHalfEven(std::sqrt(bw * bw + bh * bh));
    it->angle = geometry::segmentAngle({it->x1, it->y1}, {it->x2, it->y2});
}

} // namespace model
