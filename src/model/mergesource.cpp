#include "model/mergesource.h"

#include "model/extensions.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace model {

namespace {

constexpr const char* keySource = "merge.source";
constexpr const char* keyDelimiter = "merge.delimiter";
constexpr const char* keyHeader = "merge.header";
constexpr const char* keyEncoding = "merge.encoding";
constexpr const char* keyTrim = "merge.trim";
constexpr const char* keyStartNumber = "merge.start-number";
constexpr const char* keyStartCell = "merge.start-cell";
constexpr const char* keyCopies = "merge.copies-column";
constexpr const char* keySkipped = "merge.skipped";
constexpr const char* keySourceAbsolute = "merge.source-absolute";
constexpr const char* allKeys[] = {keySource, keySourceAbsolute, keyDelimiter, keyHeader, keyEncoding, keyTrim,
                                   keyStartNumber, keyStartCell, keyCopies, keySkipped};

// Row numbers a range may reach; a table holds fewer rows than this.
constexpr int32_t rowLimit = 100000000;

bool number(std::string_view s, int64_t& v)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

bool mergeSettings_t::operator==(const mergeSettings_t& o) const
{
    return source == o.source && sourceAbsolute == o.sourceAbsolute && options.delimiter == o.options.delimiter && options.header == o.options.header &&
           options.encoding == o.options.encoding && options.trim == o.options.trim && startNumber == o.startNumber &&
           startCell == o.startCell && copiesColumn == o.copiesColumn && skipped == o.skipped;
}

bool readMergeSettings(const itemList_t& document, mergeSettings_t& out)
{
    const extensionData_t* ext = documentExtensions(document);
    if (!ext) return false;
    const auto source = ext->text(keySource);
    if (!source || source->empty()) return false;
    out = {};
    out.source = *source;
    out.sourceAbsolute = ext->text(keySourceAbsolute).value_or(std::string());
    const int64_t d = ext->integer(keyDelimiter).value_or(0);
    out.options.delimiter = d == ',' || d == ';' || d == '\t' || d == '|' ? char(d) : 0;
    const int64_t h = ext->integer(keyHeader).value_or(-1);
    out.options.header = h == 0 ? csvHeader_t::none : h == 1 ? csvHeader_t::present : csvHeader_t::detect;
    const int64_t e = ext->integer(keyEncoding).value_or(0);
    out.options.encoding = e >= 1 && e <= 4 ? csvEncoding_t(e) : csvEncoding_t::detect;
    out.options.trim = ext->integer(keyTrim).value_or(0) != 0;
    out.startNumber = ext->integer(keyStartNumber).value_or(1);
    out.startCell = int32_t(std::clamp<int64_t>(ext->integer(keyStartCell).value_or(1), 1, rowLimit));
    out.copiesColumn = ext->text(keyCopies).value_or(std::string());
    out.skipped = parseRowRanges(ext->text(keySkipped).value_or(std::string()));
    return true;
}

bool writeMergeSettings(itemList_t& document, const mergeSettings_t& s)
{
    extensionData_t* ext = documentExtensions(document);
    if (!ext) return false;
    for (const char* k : allKeys) ext->remove(k);
    ext->setText(keySource, s.source);
    if (!s.sourceAbsolute.empty()) ext->setText(keySourceAbsolute, s.sourceAbsolute);
    if (s.options.delimiter) ext->setInteger(keyDelimiter, uint8_t(s.options.delimiter));
    if (s.options.header != csvHeader_t::detect) ext->setInteger(keyHeader, int64_t(s.options.header));
    if (s.options.encoding != csvEncoding_t::detect) ext->setInteger(keyEncoding, int64_t(s.options.encoding));
    if (s.options.trim) ext->setInteger(keyTrim, 1);
    if (s.startNumber != 1) ext->setInteger(keyStartNumber, s.startNumber);
    if (s.startCell != 1) ext->setInteger(keyStartCell, s.startCell);
    if (!s.copiesColumn.empty()) ext->setText(keyCopies, s.copiesColumn);
    if (!s.skipped.empty()) ext->setText(keySkipped, rowRanges(s.skipped));
    return true;
}

bool clearMergeSettings(itemList_t& document)
{
    extensionData_t* ext = documentExtensions(document);
    if (!ext) return false;
    bool had = false;
    for (const char* k : allKeys) had = ext->remove(k) || had;
    return had;
}

std::string storedSourcePath(const std::string& source, const std::string& documentPath)
{
    namespace fs = std::filesystem;
    const fs::path file = fs::path(source).lexically_normal();
    if (documentPath.empty() || !file.is_absolute()) return file.generic_string();
    const fs::path folder = fs::path(documentPath).lexically_normal().parent_path();
    const fs::path rel = file.lexically_relative(folder);
    if (rel.empty() || *rel.begin() == "..") return file.generic_string();
    return rel.generic_string();
}

std::string resolveSourcePath(const std::string& stored, const std::string& documentPath)
{
    namespace fs = std::filesystem;
    const fs::path p(stored);
    if (p.is_absolute() || documentPath.empty()) return p.lexically_normal().string();
    return (fs::path(documentPath).parent_path() / p).lexically_normal().string();
}

std::string locateSource(const mergeSettings_t& s, const std::string& documentPath)
{
    std::error_code ec;
    const std::string primary = resolveSourcePath(s.source, documentPath);
    if (s.sourceAbsolute.empty() || std::filesystem::exists(primary, ec)) return primary;
    return std::filesystem::exists(s.sourceAbsolute, ec) ? s.sourceAbsolute : primary;
}

std::string rowRanges(const std::vector<int32_t>& rows)
{
    std::string out;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        if (!out.empty()) out += ',';
        out += std::to_string(rows[i]);
        if (j > i) out += '-' + std::to_string(rows[j]);
        i = j + 1;
    }
    return out;
}

std::vector<int32_t> parseRowRanges(const std::string& text)
{
    std::vector<int32_t> rows;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string_view part(text.data() + start, end - start);
        const size_t dash = part.find('-');
        int64_t a = 0, b = 0;
        const bool ok = dash == std::string_view::npos ? number(part, a) && (b = a, true)
                                                        : number(part.substr(0, dash), a) && number(part.substr(dash + 1), b);
        // A range is bounded so that a damaged value cannot ask for billions of rows.
        if (ok && a >= 1 && b >= a && b <= rowLimit && b - a < 1000000)
            for (int64_t r = a; r <= b; ++r) rows.push_back(int32_t(r));
        start = end + 1;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace model
