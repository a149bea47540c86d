// Feeds arbitrary bytes to the merge table reader, with the options taken
// from the first byte, then fills a text of fields from the first row the
// way a merged card does.
#include "model/csv.h"
#include "model/fields.h"
#include "model/mergecards.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t o = data[0];
    model::csvOptions_t options;
    constexpr char delimiters[] = {0, ',', ';', '\t', '|'};
    options.delimiter = delimiters[o % 5];
    options.header = model::csvHeader_t(int32_t((o >> 3) % 3) - 1);
    options.encoding = model::csvEncoding_t((o >> 5) % 5);
    options.trim = (o & 0x80) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const model::csvTable_t table = model::readCsv(bytes, options, (o & 4) ? 3 : 0);
    if (!table.ok() || table.rows.empty()) return 0;
    // The first value as a text of fields, filled from the first row.
    const model::mergeRow_t row(table, 0);
    const std::u16string text = model::utf16Of(table.rows[0][0]);
    model::fieldReport_t report;
    model::substituteFields(text, u'\n', row.lookup(), 1, &report);
    model::fieldNamesIn(text);
    return 0;
}
