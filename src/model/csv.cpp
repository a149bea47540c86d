#include "model/csv.h"
#include "model/utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

namespace model {

namespace {

constexpr uint32_t replacement = 0xFFFD;

// Windows-1252 at 0x80 … 0x9F; the five unassigned bytes keep their code.
constexpr std::array<uint16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the valid UTF-8 sequence at `i`: 0 when invalid, -1 when the
// text ends inside it.
int utf8Sequence(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return uint8_t(s[k]); };
    const uint8_t c = b(i);
    if (c < 0x80) return 1;
    int n = 0;
    uint32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 2, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) n = 3, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, min = 0x10000;
    else return 0;
    uint32_t v = c & (0xFF >> (n + 1));
    for (int k = 1; k < n; ++k) {
        if (i + size_t(k) >= s.size()) return -1;
        if ((b(i + size_t(k)) & 0xC0) != 0x80) return 0;
        v = (v << 6) | (b(i + size_t(k)) & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    return n;
}

bool isNumber(std::string_view s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    bool digits = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') digits = true;
        else if (s[i] != '.' && s[i] != ',') return false;
    }
    return digits;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool blankLine(const std::vector<std::string>& r) { return r.size() == 1 && r[0].empty(); }

void warn(csvTable_t& t, std::string w)
{
    if (t.warnings.size() < csvWarningLimit) t.warnings.push_back(std::move(w));
    else ++t.moreWarnings;
}

// A source of bytes in chunks; an empty chunk ends it.
using chunkSource_t = std::function<bool(std::string& chunk, std::string* error)>;

csvTable_t readFrom(const chunkSource_t& next, const csvOptions_t& options, size_t maxRows)
{
    csvTable_t t;
    std::string chunk, error;
    if (!next(chunk, &error)) {
        t.error = error;
        return t;
    }
    std::string sample = chunk;
    // Detection wants a whole sniffing sample even from a source of small chunks.
    bool ended = chunk.empty();
    while (!ended && sample.size() < csvSniffBytes) {
        if (!next(chunk, &error)) {
            t.error = error;
            return t;
        }
        if (chunk.empty()) ended = true;
        else sample += chunk;
    }
    size_t bom = 0;
    t.encoding = options.encoding;
    const csvEncoding_t seen = detectEncoding(sample, !ended, &bom);
    if (t.encoding == csvEncoding_t::detect) t.encoding = seen;
    else if (seen != t.encoding) bom = 0;
    if (t.encoding != csvEncoding_t::utf16le && t.encoding != csvEncoding_t::utf16be &&
        std::memchr(sample.data(), 0, std::min(sample.size(), csvSniffBytes)))
    {
        t.error = "the file is not text: it holds zero bytes";
        return t;
    }
    std::string carry;
    std::string text = toUtf8(std::string_view(sample).substr(bom), t.encoding, carry);
    t.delimiter = options.delimiter ? options.delimiter : detectDelimiter(text);
    csvParser_t parser(t.delimiter);
    // The header row, if any, comes on top of the rows asked for; blank
    // lines are dropped later, so they do not count either.
    auto enough = [&] {
        if (!maxRows) return false;
        size_t n = 0;
        for (const auto& r : parser.records())
            if (!blankLine(r)) ++n;
        return n > maxRows;
    };
    bool ok = parser.feed(text);
    while (ok && !ended && !enough()) {
        if (!next(chunk, &error)) {
            t.error = error;
            return t;
        }
        if (chunk.empty()) ended = true;
        else ok = parser.feed(toUtf8(chunk, t.encoding, carry));
    }
    if (ok && ended) {
        if (!carry.empty()) ok = parser.feed(toUtf8({}, t.encoding, carry) + "\xEF\xBF\xBD");
        ok = ok && parser.finish();
    }
    if (!ok) {
        t.error = parser.error();
        return t;
    }
    auto& records = parser.records();
    records.erase(std::remove_if(records.begin(), records.end(), blankLine), records.end());
    t.complete = ended;
    if (records.empty()) return t;

    if (options.trim)
        for (auto& r : records)
            for (auto& v : r) v = std::string(trimmed(v));
    t.header = options.header == csvHeader_t::detect ? looksLikeHeader(records[0]) : options.header == csvHeader_t::present;
    size_t columns = records[0].size();
    size_t first = 0;
    if (t.header) {
        t.names = records[0];
        for (size_t k = 0; k < t.names.size(); ++k)
            if (t.names[k].empty()) t.names[k] = std::to_string(k + 1);
        first = 1;
    } else {
        for (const auto& r : records) columns = std::max(columns, r.size());
        for (size_t k = 0; k < columns; ++k) t.names.push_back(std::to_string(k + 1));
    }
    size_t last = records.size();
    if (maxRows && last - first > maxRows) {
        last = first + maxRows;
        t.complete = false;
    }
    t.rows.reserve(last - first);
    for (size_t i = first; i < last; ++i) {
        auto& r = records[i];
        const size_t row = i - first + 1;
        if (r.size() < columns)
            warn(t, "row " + std::to_string(row) + " has " + std::to_string(r.size()) + " values, not " +
                        std::to_string(columns) + ": the missing ones are empty");
        else if (r.size() > columns)
            warn(t, "row " + std::to_string(row) + " has " + std::to_string(r.size()) + " values, not " +
                        std::to_string(columns) + ": the extra ones are left out");
        r.resize(columns);
        t.rows.push_back(std::move(r));
    }
    return t;
}

} // namespace

int32_t csvTable_t::column(std::string_view name) const
{
    for (size_t k = 0; k < names.size(); ++k)
        if (names[k] == name) return int32_t(k);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t k = 0; k < names.size(); ++k)
        if (std::equal(names[k].begin(), names[k].end(), name.begin(), name.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return int32_t(k);
    return -1;
}

csvEncoding_t detectEncoding(std::string_view s, bool cut, size_t* bom)
{
    size_t none = 0;
    size_t& b = bom ? *bom : none;
    b = 0;
    if (s.substr(0, 3) == "\xEF\xBB\xBF") {
        b = 3;
        return csvEncoding_t::utf8;
    }
    if (s.substr(0, 2) == "\xFF\xFE") {
        b = 2;
        return csvEncoding_t::utf16le;
    }
    if (s.substr(0, 2) == "\xFE\xFF") {
        b = 2;
        return csvEncoding_t::utf16be;
    }
    for (size_t i = 0; i < s.size();) {
        const int n = utf8Sequence(s, i);
        if (n == -1 && cut) break;
        if (n <= 0) return csvEncoding_t::windows1252;
        i += size_t(n);
    }
    return csvEncoding_t::utf8;
}

std::string toUtf8(std::string_view bytes, csvEncoding_t encoding, std::string& carry)
{
    std::string in = carry + std::string(bytes);
    carry.clear();
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    switch (encoding) {
    case csvEncoding_t::windows1252:
        for (char ch : in) {
            const uint8_t c = uint8_t(ch);
            appendUtf8(out, c >= 0x80 && c <= 0x9F ? cp1252High[c - 0x80] : c);
        }
        break;
    case csvEncoding_t::utf16le:
    case csvEncoding_t::utf16be: {
        const bool le = encoding == csvEncoding_t::utf16le;
        auto unit = [&](size_t i) {
            const uint16_t a = uint8_t(in[i]), b = uint8_t(in[i + 1]);
            return uint16_t(le ? a | (b << 8) : (a << 8) | b);
        };
        size_t i = 0;
        while (i + 1 < in.size()) {
            const uint16_t u = unit(i);
            if (u >= 0xD800 && u <= 0xDBFF) {
                if (i + 3 >= in.size()) break;  // the low half is in the next chunk
                const uint16_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendUtf8(out, 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                    i += 4;
                    continue;
                }
                appendUtf8(out, replacement);
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                appendUtf8(out, replacement);
            } else {
                appendUtf8(out, u);
            }
            i += 2;
        }
        carry = in.substr(i);
        break;
    }
    default:
        for (size_t i = 0; i < in.size();) {
            const int n = utf8Sequence(in, i);
            if (n == -1) {
                carry = in.substr(i);
                break;
            }
            if (n == 0) {
                appendUtf8(out, replacement);
                ++i;
            } else {
                out.append(in, i, size_t(n));
                i += size_t(n);
            }
        }
    }
    return out;
}

char detectDelimiter(std::string_view sample)
{
    constexpr size_t lines = 20;
    char best = ',';
    int64_t bestScore = -1;
    for (char d : {',', ';', '\t', '|'}) {
        csvParser_t p(d);
        // A sample cut inside a quoted value just ends there.
        p.feed(sample.substr(0, csvSniffBytes));
        p.finish();
        size_t n = 0, multi = 0, width = 0;
        bool same = true;
        for (const auto& r : p.records()) {
            if (blankLine(r)) continue;
            if (n == lines) break;
            if (n == 0) width = r.size();
            else if (r.size() != width) same = false;
            if (r.size() > 1) ++multi;
            ++n;
        }
        // Rows of one width above one beat any ragged split.
        const int64_t score = same && width > 1 ? 1000000 + int64_t(width) : int64_t(multi);
        if (score > bestScore && (score > 0 || bestScore < 0)) {
            bestScore = score;
            best = d;
        }
    }
    return best;
}

bool looksLikeHeader(const std::vector<std::string>& first)
{
    std::set<std::string_view> seen;
    for (const auto& v : first) {
        const std::string_view t = trimmed(v);
        if (t.empty() || isNumber(t) || !seen.insert(t).second) return false;
    }
    return !first.empty();
}

bool csvParser_t::fail(std::string why)
{
    error_ = std::move(why);
    return false;
}

bool csvParser_t::endField()
{
    if (record_.size() >= csvColumnLimit)
        return fail("line " + std::to_string(line_) + " has more than " + std::to_string(csvColumnLimit) + " values");
    record_.push_back(std::move(field_));
    field_.clear();
    state_ = state_t::fieldStart;
    return true;
}

void csvParser_t::endRecord()
{
    records_.push_back(std::move(record_));
    record_.clear();
}

bool csvParser_t::feed(std::string_view text)
{
    if (!error_.empty()) return false;
    for (const char c : text) {
        if (pendingCR_) {
            pendingCR_ = false;
            if (c == '\n') continue;
        }
        const bool newline = c == '\n' || c == '\r';
        bool closed = false;  // the value's closing quote came just before
        switch (state_) {
        case state_t::quoted:
            if (c == '"') {
                state_ = state_t::quoteInQuoted;
                continue;
            }
            break;
        case state_t::quoteInQuoted:
            if (c == '"') {
                state_ = state_t::quoted;
                break;
            }
            state_ = state_t::unquoted;  // text after a closing quote is kept as it stands
            closed = true;
            [[fallthrough]];
        case state_t::fieldStart:
        case state_t::unquoted:
            if (c == delimiter_) {
                if (!endField()) return false;
                continue;
            }
            if (newline) {
                if (!endField()) return false;
                endRecord();
                ++line_;
                pendingCR_ = c == '\r';
                continue;
            }
            // A quote after nothing but blanks opens a quoted value: the
            // blanks people type after a delimiter are not part of it.
            if (c == '"' && !closed &&
                (state_ == state_t::fieldStart || field_.find_first_not_of(" \t") == std::string::npos)) {
                field_.clear();
                state_ = state_t::quoted;
                quoteLine_ = line_;
                continue;
            }
            state_ = state_t::unquoted;
            break;
        }
        if (newline) {
            ++line_;
            pendingCR_ = c == '\r';
            if (c == '\r') {
                field_ += '\n';  // a line break inside quotes is kept as one LF
                continue;
            }
        }
        if (field_.size() >= csvFieldLimit)
            return fail("line " + std::to_string(line_) + ": a value is longer than " + std::to_string(csvFieldLimit) +
                        " bytes");
        field_ += c;
    }
    return true;
}

bool csvParser_t::finish()
{
    if (!error_.empty()) return false;
    if (state_ == state_t::quoted)
        return fail("the quote opened on line " + std::to_string(quoteLine_) + " is never closed");
    if (state_ != state_t::fieldStart || !record_.empty()) {
        if (!endField()) return false;
        endRecord();
    }
    return true;
}

csvTable_t readCsv(std::string_view bytes, const csvOptions_t& options, size_t maxRows)
{
    size_t at = 0;
    return readFrom(
        [&](std::string& chunk, std::string*) {
            const size_t n = std::min(bytes.size() - at, csvSniffBytes);
            chunk.assign(bytes.substr(at, n));
            at += n;
            return true;
        },
        options, maxRows);
}

csvTable_t readCsvFile(const std::string& path, const csvOptions_t& options, size_t maxRows)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        csvTable_t t;
        t.error = "the file cannot be opened";
        return t;
    }
    if (!maxRows) {
        in.seekg(0, std::ios::end);
        const auto size = in.tellg();
        in.seekg(0);
        if (size > std::streamoff(csvFileLimit)) {
            csvTable_t t;
            t.error = "the file is larger than " + std::to_string(csvFileLimit >> 20) + " MB";
            return t;
        }
    }
    return readFrom(
        [&](std::string& chunk, std::string* error) {
            chunk.resize(csvSniffBytes);
            in.read(chunk.data(), std::streamsize(chunk.size()));
            chunk.resize(size_t(in.gcount()));
            if (in.bad()) {
                *error = "the file cannot be read";
                return false;
            }
            return true;
        },
        options, maxRows);
}

} // namespace model
