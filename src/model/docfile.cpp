#include "model/docfile.h"

#include "geometry/units.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <unordered_set>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#endif

namespace fs = std::filesystem;

namespace model {

namespace {

bool isTextBlobType(int32_t t) { return t == typeHeader || t == typeText; }

bool acceptedTextLength(int32_t len) { return len > 0 && len < textBlobLimit; }

std::string systemMessage(int err) { return std::error_code(err, std::generic_category()).message(); }

// ---------------------------------------------------------------- writing

// Whether a record goes into the file; pictures in use are collected first
// so that each picture data record costs no walk of the list.
bool isWritten(const item_t* it, const std::unordered_set<int32_t>& picturesInUse)
{
    if (it->kind == kindItem) {
        if (it->hidden) return false;
        if (it->itemType == typeDeletionMarker) return false;
        if (it->itemType == typeText && textLineCount(it) == 0) return false;
        return true;
    }
    if (it->kind == kindPictureData) return picturesInUse.count(it->pictureId) > 0;
    return true;
}

// A buffered output file that remembers the first failure.
class outFile {
public:
    explicit outFile(std::FILE* f) : f_(f) { std::setvbuf(f_, nullptr, _IOFBF, 1 << 20); }
    void put(const void* p, size_t n)
    {
        if (ok_ && n && std::fwrite(p, 1, n, f_) != n) fail(errno);
    }
    bool finish()
    {
        if (ok_ && std::fflush(f_) != 0) fail(errno);
#if defined(__unix__)
        if (ok_ && ::fsync(::fileno(f_)) != 0 && errno != EINVAL) fail(errno);
#endif
        if (std::fclose(f_) != 0 && ok_) fail(errno);
        f_ = nullptr;
        return ok_;
    }
    ~outFile()
    {
        if (f_) std::fclose(f_);
    }
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    void fail(int err)
    {
        ok_ = false;
        error_ = systemMessage(err ? err : EIO);
    }
    std::FILE* f_;
    bool ok_ = true;
    std::string error_;
};

// Opens a new file beside `target` that no one else uses.
std::FILE* openTemporary(const fs::path& target, fs::path& tempPath, std::string& error)
{
    static std::mt19937_64 rng{std::random_device{}()};
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 32; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", static_cast<unsigned long long>(rng() & 0xffffffffu));
        tempPath = dir / ("." + target.filename().string() + suffix);
        if (std::FILE* f = std::fopen(tempPath.c_str(), "wbx")) return f;
        if (errno != EEXIST) {
            error = systemMessage(errno);
            return nullptr;
        }
    }
    error = "no temporary file name is free";
    return nullptr;
}

// A text blob is stored with its length in bytes as an int32 below the limit.
const char* tooLongText(const itemList_t& list, const std::unordered_set<int32_t>& inUse)
{
    for (const item_t* it = list.head; it; it = it->next) {
        if (!isWritten(it, inUse)) continue;
        if ((isTextBlobType(it->itemType) || it->itemType == typePictureData) && textLength(it) >= textStoreLimit)
            return it->itemType == typePictureData ? "a picture's file name" : "a text";
    }
    return nullptr;
}

bool blobFits(size_t bytes) { return bytes <= static_cast<size_t>(INT32_MAX); }

// Writes every record; the first failure is kept in `out`.
bool writeRecords(outFile& out, itemList_t& list, item_t* header, const std::unordered_set<int32_t>& inUse,
                  const anchorMarker_t& marker, std::string& error)
{
    std::vector<int32_t> anchors;
    for (item_t* it = list.head; it && out.ok(); it = it->next) {
        it->magic = recordMagic;
        if (it == header) it->hdr().fileVersion = formatVersion;
        if (!isWritten(it, inUse)) continue;

        const int32_t type = it->itemType;
        const int32_t units = textLength(it);
        if (isTextBlobType(type)) {
            it->blobLength = units * 2;
            // The legacy blocks are never written, so their lengths must say so.
            if (type == typeText) it->extraLength1 = it->extraLength2 = 0;
        } else if (isShapeType(type)) {
            const size_t bytes = static_cast<size_t>(countNodes(it->points)) * pointEntrySize;
            if (!blobFits(bytes)) {
                error = "a shape has too many points to be saved";
                return false;
            }
            it->blobLength = static_cast<int32_t>(bytes);
        } else if (type == typeGrid) {
            anchors.clear();
            for (const anchorNode_t* a = it->anchorsX.head; a; a = a->next)
                if (!a->deleted) anchors.insert(anchors.end(), {anchorAxisX, anchorPositionX(a, marker)});
            for (const anchorNode_t* a = it->anchorsY.head; a; a = a->next)
                if (!a->deleted) anchors.insert(anchors.end(), {anchorAxisY, anchorPositionY(a, marker)});
            const size_t bytes = anchors.size() * sizeof(int32_t);
            if (!blobFits(bytes)) {
                error = "the grid has too many anchors to be saved";
                return false;
            }
            it->blobLength = static_cast<int32_t>(bytes);
        } else if (type == typePictureData) {
            const size_t bytes = it->stream ? it->stream->size() : 0;
            if (!blobFits(bytes)) {
                error = "a picture is too large to be saved";
                return false;
            }
            it->blobLength = static_cast<int32_t>(bytes);
            it->diagonal = units * 2;
        }

        out.put(it->bodyBytes(), recordSize);
        if (isTextBlobType(type)) {
            out.put(it->text.data(), size_t(units) * 2);
        } else if (isShapeType(type)) {
            for (const pointNode_t* p = it->points.head; p; p = p->next) out.put(&p->p, pointEntrySize);
        } else if (type == typeGrid) {
            out.put(anchors.data(), anchors.size() * sizeof(int32_t));
        } else if (type == typePictureData) {
            if (it->stream) out.put(it->stream->data(), it->stream->size());
            out.put(it->text.data(), size_t(units) * 2);
        }
    }
    return true;
}

// ---------------------------------------------------------------- reading

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

// What a record read from a file costs in memory: the record and its
// allocation. Nodes of points and anchors likewise.
constexpr uint64_t allocationOverhead = 2 * sizeof(void*);
constexpr uint64_t recordMemoryCost = sizeof(item_t) + allocationOverhead;
constexpr uint64_t pointMemoryCost = sizeof(pointNode_t) + allocationOverhead;
constexpr uint64_t anchorMemoryCost = sizeof(anchorNode_t) + allocationOverhead;

// Counts what the records read so far take, so that a file whose records
// would not fit in memory is refused before the allocation that would fail.
class memoryMeter {
public:
    explicit memoryMeter(uint64_t budget) : budget_(budget) {}
    // True when `bytes` more still fit; they are counted then.
    bool take(uint64_t bytes)
    {
        if (bytes > budget_ - used_) {
            exhausted_ = true;
            return false;
        }
        used_ += bytes;
        return true;
    }
    bool exhausted() const { return exhausted_; }

private:
    uint64_t budget_;
    uint64_t used_ = 0;
    bool exhausted_ = false;
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
};

void renumber(readState& st, item_t* it)
{
    if (st.historyKept != 0) return;
    it->undoState = 0;
    it->replacesStep = 0;
    it->stepId = ++st.counter;
}

enum class readOutcome { taken, refused, failed, tooManyRecords, outOfMemory };

// Returns `refused` when the user refused an invalid record, `tooManyRecords`
// when the next record would not fit in the memory budget.
readOutcome readRecords(byteSource& src, itemList_t& fresh, docReadQuestions_t& questions, readState& st,
                        const anchorMarker_t& marker)
{
    std::vector<uint8_t> buf;
    uint8_t body[recordSize];
    for (;;) {
        if (st.meter.exhausted()) return readOutcome::tooManyRecords;
        if (src.read(body, recordSize) < size_t(recordSize)) return readOutcome::taken;
        if (!st.meter.take(recordMemoryCost)) return readOutcome::tooManyRecords;
        auto* it = new item_t;
        std::memcpy(it->bodyBytes(), body, recordSize);
        appendItem(fresh, it);

        if (st.checkMagic && it->magic != recordMagic) {
            if (!questions.askOpenInvalid()) return readOutcome::refused;
            st.checkMagic = false;
            st.acceptedInvalid = true;
        }

        const int32_t type = it->itemType;
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
            readTextBlob(src, it->diagonal, buf, it, st.meter);
        } else {
            recomputePixels(it);
            renumber(st, it);
        }
    }
}

// The memory budget of a read: the limits' own, or what the machine has.
uint64_t budgetOf(const readLimits_t& limits)
{
    return limits.memoryBudget ? limits.memoryBudget : availableMemoryBudget();
}

// Whether even the largest number of records `size` bytes can hold fits the budget.
bool recordsCanFit(uint64_t size, uint64_t budget)
{
    const uint64_t most = size / recordSize;
    return most <= budget / recordMemoryCost;
}

// "2 GB", "64 MB" or "1000 bytes".
std::string bytesText(uint64_t n)
{
    if (n >= (uint64_t(1) << 30) && n % (uint64_t(1) << 30) == 0) return std::to_string(n >> 30) + " GB";
    if (n >= (uint64_t(1) << 20) && n % (uint64_t(1) << 20) == 0) return std::to_string(n >> 20) + " MB";
    return std::to_string(n) + " bytes";
}

std::string tooLargeMessage(const std::string& what, const readLimits_t& limits)
{
    return what + " is too large to open: a document may have at most " + bytesText(limits.maxFileBytes);
}

std::string tooManyRecordsMessage(const std::string& what)
{
    return what + " holds more records than fit in the memory available";
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

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

} // namespace

bool writeDocument(const std::string& fileName, itemList_t& list, std::string* error, const anchorMarker_t& marker)
{
    std::string why;
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    item_t* header = findHeader(list);
    if (!header) return fail("the document has no header record");
    if (trimmed(fileName).empty()) return fail("no file name was given");

    std::unordered_set<int32_t> inUse;
    for (const item_t* it = list.head; it; it = it->next)
        if (it->itemType == typePicture && !it->hidden) inUse.insert(it->pictureId);
    if (const char* what = tooLongText(list, inUse))
        return fail(std::string(what) + " of 512,000 characters or more cannot be saved");

    header->hdr().historyKept = 0;

    fs::path target(fileName);
    std::error_code ec;
    // Saving through a link replaces the file it points to, not the link.
    if (fs::is_symlink(target, ec)) target = fs::weakly_canonical(target, ec);
    if (fs::is_directory(target, ec)) return fail(fileName + " is a folder");

    fs::path temp;
    std::FILE* f = openTemporary(target, temp, why);
    if (!f) return fail("cannot create a file in the folder of " + fileName + ": " + why);

    outFile out(f);
    bool written = writeRecords(out, list, header, inUse, marker, why);
    const bool closed = out.finish();
    if (written && !closed) why = out.error();
    written = written && closed;
    if (written) {
        // Keep the permissions of the file being replaced.
        const auto st = fs::status(target, ec);
        if (!ec && fs::exists(st)) fs::permissions(temp, st.permissions(), ec);
        fs::rename(temp, target, ec);
        if (ec) {
            written = false;
            why = ec.message();
        }
    }
    if (!written) {
        fs::remove(temp, ec);
        return fail("cannot write " + fileName + ": " + why);
    }
    setModified(list, false);
    return true;
}

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

uint64_t availableMemoryBudget()
{
    uint64_t available = UINT64_MAX;
#if defined(__unix__)
    // What the kernel says can be had without swapping others out.
    std::ifstream info("/proc/meminfo");
    std::string key;
    uint64_t kb = 0;
    while (info >> key >> kb) {
        if (key == "MemAvailable:") {
            available = kb * 1024;
            break;
        }
        info.ignore(256, '\n');
    }
    // A limit on the address space or the data segment counts from what the
    // process already uses.
    uint64_t pages = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident >> shared >> text >> lib >> data;
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const std::pair<int, uint64_t> inUse[] = {{RLIMIT_AS, pages * page}, {RLIMIT_DATA, data * page}};
    for (const auto& [resource, used] : inUse) {
        rlimit r{};
        if (getrlimit(resource, &r) == 0 && r.rlim_cur != RLIM_INFINITY)
            available = std::min<uint64_t>(available, r.rlim_cur > used ? r.rlim_cur - used : 0);
    }
#endif
    // A quarter stays for the rest of the program (the canvas, the output).
    return available == UINT64_MAX ? available : available - available / 4;
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
