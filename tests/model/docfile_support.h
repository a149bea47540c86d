// Helpers for the document file tests: scripted answers to the reader's
// questions, temporary folders, and hand-built file bytes.
#pragma once

#include "model/docfile.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

struct scriptedQuestions : model::docReadQuestions_t {
    bool answer = false;
    int asked = 0;
    std::vector<std::string> warnings;
    bool askOpenInvalid() override
    {
        ++asked;
        return answer;
    }
    void warnNewerVersion(const std::string& text) override { warnings.push_back(text); }
};

// A fresh folder under the system's temporary folder, removed at the end.
class tempDir {
public:
    tempDir()
    {
        std::string t = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
        if (!mkdtemp(t.data())) throw std::runtime_error("mkdtemp");
        path_ = t;
    }
    ~tempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> readAll(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void writeAll(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Builds file bytes record by record; bodies start as a new record's body.
class fileBuilder {
public:
    std::vector<uint8_t> bytes;

    // Appends a body of the given kind and type; returns its offset for set().
    size_t record(int32_t itemType, int32_t kind = model::kindItem)
    {
        model::itemList_t l;
        model::item_t* it = model::newItem(l, itemType);
        it->kind = kind;
        const size_t at = bytes.size();
        bytes.insert(bytes.end(), it->bodyBytes(), it->bodyBytes() + model::recordSize);
        model::freeList(l);
        return at;
    }
    template <typename T>
    void set(size_t record, int offset, T v)
    {
        std::memcpy(bytes.data() + record + offset, &v, sizeof v);
    }
    void blob(const std::vector<uint8_t>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    void text(const std::u16string& s)
    {
        const auto* p = reinterpret_cast<const uint8_t*>(s.data());
        bytes.insert(bytes.end(), p, p + s.size() * 2);
    }
    // A header record with a text blob of `units` units.
    size_t header(const std::u16string& text = u"")
    {
        const size_t at = record(model::typeHeader, model::kindHeader);
        set<double>(at, 116, 1.0);  // zoom
        set<int32_t>(at, 124, 1);   // unit
        set<int32_t>(at, 112, int32_t(text.size() * 2));
        set<int32_t>(at, 323, model::formatVersion);
        bytes[at + 321] = 0;
        this->text(text);
        return at;
    }
};

// Reads bytes through the file reader (via a temporary file).
inline bool readBytes(const std::vector<uint8_t>& bytes, model::itemList_t& list, model::docReadQuestions_t& q,
                      std::string* error = nullptr)
{
    tempDir d;
    writeAll(d.file("doc.lmra"), bytes);
    return model::readDocument(d.file("doc.lmra"), list, q, error);
}

// A document as the editor creates it: header (with its page-setup text) and
// grid-anchor record.
inline void newDocument(model::itemList_t& list)
{
    model::item_t* h = model::newItem(list, model::typeHeader);
    h->kind = model::kindHeader;
    h->hdr().zoom = 1.0;
    h->hdr().unit = 2;
    h->hdr().canvasWidth = 210;
    h->hdr().canvasHeight = 297;
    model::setText(h, u"210\u07EC297\u07EC");
    model::newItem(list, model::typeGrid);
    model::invalidateIds(list);
    model::setModified(list, false);
}

// One record of a document file as the writer lays it out: where it starts,
// its length with the blobs its type carries, and its type.
struct fileRecord {
    size_t at = 0;
    size_t length = 0;
    int32_t type = 0;
};

inline std::vector<fileRecord> fileRecords(const std::vector<uint8_t>& bytes)
{
    std::vector<fileRecord> out;
    size_t at = 0;
    while (at + model::recordSize <= bytes.size()) {
        int32_t type, blob, name;
        std::memcpy(&type, &bytes[at + 4], 4);
        std::memcpy(&blob, &bytes[at + 112], 4);
        std::memcpy(&name, &bytes[at + 56], 4);
        const bool blobbed = type == model::typeHeader || type == model::typeText || model::isShapeType(type) ||
                             type == model::typeGrid || type == model::typePictureData;
        const size_t length = model::recordSize + (blobbed ? size_t(std::max(blob, 0)) : 0) +
                              (type == model::typePictureData ? size_t(std::max(name, 0)) : 0);
        out.push_back({at, length, type});
        at += length;
    }
    return out;
}

// The file without its extension records: what a reader that skips them keeps
// (extension records carry no blob). Bytes after the last whole record stay.
inline std::vector<uint8_t> withoutExtensionRecords(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> out;
    size_t end = 0;
    for (const fileRecord& r : fileRecords(bytes)) {
        if (r.type != model::typeExtension)
            out.insert(out.end(), bytes.begin() + long(r.at), bytes.begin() + long(std::min(r.at + r.length, bytes.size())));
        end = r.at + r.length;
    }
    if (end < bytes.size()) out.insert(out.end(), bytes.begin() + long(end), bytes.end());
    return out;
}

} // namespace testsupport
