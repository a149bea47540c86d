// The document file's writer: every record that belongs in the file, with
// the blobs its type carries, into a temporary file that replaces the target
// only once all of it was written.
#include "model/docfile_parts.h"

#include "model/extensions.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <unordered_set>
#include <vector>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace model {

using namespace docfile;

namespace {


// Whether a record goes into the file; pictures in use are collected first
// so that each picture data record costs no walk of the list.
bool isWritten(const item_t* it, const std::unordered_set<int32_t>& picturesInUse)
{
    if (it->kind == kindItem) {
        if (it->hidden) return false;
        if (it->itemType == typeDeletionMarker) return false;
        // A text without a line (empty, or ending at its first unit) is not kept.
        if (it->itemType == typeText && (it->text.empty() || it->text[0] == 0)) return false;
        return true;
    }
    if (it->kind == kindPictureData) return picturesInUse.count(it->pictureId) > 0;
    return true;
}

// A buffered output file that remembers the first failure.
class outFile {
public:
    // A durable file is synced to the disk before it is closed; a stream in
    // memory is not.
    explicit outFile(std::FILE* f, bool durable = true) : f_(f), durable_(durable)
    {
        std::setvbuf(f_, nullptr, _IOFBF, 1 << 20);
    }
    // Collects the bytes in memory instead.
    explicit outFile(std::vector<uint8_t>& memory) : f_(nullptr), durable_(false), memory_(&memory) {}
    void put(const void* p, size_t n)
    {
        if (memory_) {
            const auto* b = static_cast<const uint8_t*>(p);
            memory_->insert(memory_->end(), b, b + n);
            return;
        }
        if (ok_ && n && std::fwrite(p, 1, n, f_) != n) fail(errno);
    }
    bool finish()
    {
        if (memory_) return ok_;
        if (ok_ && std::fflush(f_) != 0) fail(errno);
#if defined(__unix__)
        if (ok_ && durable_ && ::fsync(::fileno(f_)) != 0 && errno != EINVAL) fail(errno);
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
    bool durable_;
    std::vector<uint8_t>* memory_ = nullptr;
    bool ok_ = true;
    std::string error_;
};

// Why no file could be created in `dir`. The system says "No such file or
// directory" both for a missing folder and for one that exists but takes no
// new files (as /proc); the user is told which.
std::string creationFailure(const fs::path& dir, int err)
{
    std::error_code ec;
    const std::string name = dir.string();
    if (err == ENOENT || err == ENOTDIR) {
        if (!fs::exists(dir, ec)) return "the folder " + name + " does not exist";
        if (!fs::is_directory(dir, ec)) return name + " is not a folder";
        return "the folder " + name + " does not accept new files";
    }
    if (err == EACCES || err == EPERM) return "no permission to create files in the folder " + name;
    if (err == EROFS) return "the folder " + name + " is on a read-only disk";
    return systemMessage(err);
}

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
            error = creationFailure(dir, errno);
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

size_t encodedSize(const extensionData_t& data)
{
    size_t n = 0;
    for (const auto& e : data.entries()) n += 8 + e.key.size() + e.value.size();
    return n;
}

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
            it->setFileNameBlobLength(units * 2);
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
        if (it->extensions && !it->extensions->empty() && (it == header || it->kind == kindItem)) {
            if (!blobFits(encodedSize(*it->extensions))) {
                error = "an item's extension data is too large to be saved";
                return false;
            }
            for (const extensionBody_t& r : extensionRecords(*it->extensions, it == header ? nullptr : it))
                out.put(&r, recordSize);
        }
    }
    return true;
}
} // namespace

namespace {

// What a save and a snapshot check first: a header, and no text too long to
// be stored. Fills the picture ids still in use and counts the records.
bool checkWritable(itemList_t& list, std::unordered_set<int32_t>& inUse, std::string& why, size_t* records = nullptr)
{
    if (!findHeader(list)) {
        why = "the document has no header record";
        return false;
    }
    size_t n = 0;
    for (const item_t* it = list.head; it; it = it->next, ++n)
        if (it->itemType == typePicture && !it->hidden) inUse.insert(it->pictureId);
    if (records) *records = n;
    if (const char* what = tooLongText(list, inUse)) {
        why = std::string(what) + " of " + groupedThousands(textStoreLimit) + " characters or more cannot be saved";
        return false;
    }
    return true;
}

// Replaces `target` with what `produce` writes, through a temporary file in
// the same folder; the old file stays whole until the rename.
template <typename producer_t>
bool replaceFile(const std::string& fileName, producer_t&& produce, std::string& why)
{
    fs::path target(fileName);
    std::error_code ec;
    // Saving through a link replaces the file it points to, not the link.
    if (fs::is_symlink(target, ec)) target = fs::weakly_canonical(target, ec);
    if (fs::is_directory(target, ec)) {
        why = fileName + " is a folder";
        return false;
    }
    fs::path temp;
    std::FILE* f = openTemporary(target, temp, why);
    if (!f) {
        why = "cannot create a file in the folder of " + fileName + ": " + why;
        return false;
    }
    outFile out(f);
    bool written = produce(out, why);
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
        why = "cannot write " + fileName + ": " + why;
    }
    return written;
}

} // namespace

bool writeDocument(const std::string& fileName, itemList_t& list, std::string* error, const anchorMarker_t& marker)
{
    std::string why;
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    std::unordered_set<int32_t> inUse;
    if (!checkWritable(list, inUse, why)) return fail(why);
    if (trimmed(fileName).empty()) return fail("no file name was given");
    item_t* header = findHeader(list);
    header->hdr().historyKept = 0;
    const bool ok = replaceFile(
        fileName, [&](outFile& out, std::string& reason) { return writeRecords(out, list, header, inUse, marker, reason); },
        why);
    if (!ok) return fail(why);
    setModified(list, false);
    return true;
}

bool encodeDocument(itemList_t& list, std::vector<uint8_t>& bytes, std::string* error, const anchorMarker_t& marker)
{
    std::string why;
    std::unordered_set<int32_t> inUse;
    bytes.clear();
    size_t records = 0;
    if (!checkWritable(list, inUse, why, &records)) {
        if (error) *error = why;
        return false;
    }
    item_t* header = findHeader(list);
    header->hdr().historyKept = 0;
    // Room for every record at once: growing a large buffer step by step
    // would copy it again and again.
    bytes.reserve(records * (recordSize + 128));
    outFile out(bytes);
    const bool ok = writeRecords(out, list, header, inUse, marker, why) && out.finish();
    if (!ok) {
        bytes.clear();
        if (error) *error = why;
    }
    return ok;
}

bool writeBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string* error)
{
    std::string why;
    const bool ok = replaceFile(
        fileName,
        [&](outFile& out, std::string&) {
            out.put(bytes.data(), bytes.size());
            return true;
        },
        why);
    if (!ok && error) *error = why;
    return ok;
}

} // namespace model
