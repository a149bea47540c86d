// Reading a table of values for a data merge: comma, semicolon, tab or bar
// separated text (quoted as RFC 4180 says), its delimiter, header row and
// encoding detected or given. Values come out as UTF-8. Everything is bounded:
// a file, a field and a row have limits, and a preview stops reading as soon
// as it has the rows it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// The codes keep their numbers: they are stored with the document.
enum class csvEncoding_t : int32_t { detect = 0, utf8 = 1, windows1252 = 2, utf16le = 3, utf16be = 4 };
// Header row: detected, absent (fields named 1, 2, …) or present.
enum class csvHeader_t : int32_t { detect = -1, none = 0, present = 1 };

constexpr size_t csvFileLimit = size_t(64) << 20;   // bytes of a file read whole
constexpr size_t csvFieldLimit = size_t(64) << 10;  // bytes of one value
constexpr size_t csvColumnLimit = 1024;             // values of one row
constexpr size_t csvSniffBytes = size_t(64) << 10;  // what detection looks at
constexpr size_t csvWarningLimit = 20;              // warnings kept; the rest counted

struct csvOptions_t {
    char delimiter = 0;  // 0: detected among , ; tab |
    csvHeader_t header = csvHeader_t::detect;
    csvEncoding_t encoding = csvEncoding_t::detect;
    bool trim = false;   // blanks around every value dropped
};

struct csvTable_t {
    std::vector<std::string> names;             // column names (1, 2, … without a header)
    std::vector<std::vector<std::string>> rows;  // each as long as names
    char delimiter = ',';
    bool header = false;
    csvEncoding_t encoding = csvEncoding_t::utf8;
    bool complete = false;           // every row of the source was read
    std::vector<std::string> warnings;
    size_t moreWarnings = 0;         // warnings beyond csvWarningLimit
    std::string error;               // empty when the table could be read
    bool ok() const { return error.empty(); }
    // The column of a name (exact, then ignoring ASCII case); -1 when none.
    int32_t column(std::string_view name) const;
};

// The encoding of a text from its first bytes: a byte-order mark, else UTF-8
// when the sample is valid UTF-8 (a sequence cut at its end allowed when
// `cut`), else Windows-1252. `bom` receives the mark's length.
csvEncoding_t detectEncoding(std::string_view sample, bool cut, size_t* bom);

// Turns text of an encoding into UTF-8; invalid sequences become U+FFFD.
// Chunks may end anywhere: what is left of a cut character waits in `carry`.
std::string toUtf8(std::string_view bytes, csvEncoding_t encoding, std::string& carry);

// The delimiter of UTF-8 text: the candidate that splits its first lines
// into the same number (above one) of values most often; ',' by default.
char detectDelimiter(std::string_view sample);

// Whether a first row looks like names: every value non-empty, no two the
// same, none a number.
bool looksLikeHeader(const std::vector<std::string>& first);

// Splits UTF-8 text into records, incrementally: feed chunks, then finish.
class csvParser_t {
public:
    explicit csvParser_t(char delimiter) : delimiter_(delimiter) {}
    // False once an error ended parsing (see error()).
    bool feed(std::string_view text);
    bool finish();
    std::vector<std::vector<std::string>>& records() { return records_; }
    const std::string& error() const { return error_; }
    int64_t line() const { return line_; }

private:
    bool endField();
    void endRecord();
    bool fail(std::string why);
    char delimiter_;
    enum class state_t { fieldStart, unquoted, quoted, quoteInQuoted } state_ = state_t::fieldStart;
    std::string field_;
    std::vector<std::string> record_;
    std::vector<std::vector<std::string>> records_;
    bool pendingCR_ = false;
    int64_t line_ = 1;
    int64_t quoteLine_ = 0;
    std::string error_;
};

// The table of bytes held in memory, at most `maxRows` data rows (0: all).
csvTable_t readCsv(std::string_view bytes, const csvOptions_t& options, size_t maxRows = 0);

// The table of a file. With `maxRows`, reading stops once that many rows are
// in (a preview of a huge file reads only its beginning); without, a file
// over csvFileLimit is refused.
csvTable_t readCsvFile(const std::string& path, const csvOptions_t& options, size_t maxRows = 0);

} // namespace model
