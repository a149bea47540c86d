#include "model/mergecards.h"

#include "model/item.h"

#include <algorithm>
#include <charconv>

namespace model {

mergeCards_t mergeCards(const csvTable_t& table, const mergeSettings_t& settings)
{
    mergeCards_t out;
    int32_t copiesAt = -1;
    if (!settings.copiesColumn.empty()) {
        copiesAt = table.column(settings.copiesColumn);
        if (copiesAt < 0) {
            out.error = "the data has no column \"" + settings.copiesColumn + "\" for the copies";
            return out;
        }
    }
    int64_t number = settings.startNumber;
    auto skipped = settings.skipped.begin();
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const int32_t row = int32_t(r) + 1;
        while (skipped != settings.skipped.end() && *skipped < row) ++skipped;
        if (skipped != settings.skipped.end() && *skipped == row) continue;
        int64_t copies = 1;
        if (copiesAt >= 0) {
            const std::string& v = table.rows[r][size_t(copiesAt)];
            const auto res = std::from_chars(v.data(), v.data() + v.size(), copies);
            if (res.ec != std::errc() || res.ptr != v.data() + v.size() || copies < 0) {
                out.warnings.push_back("row " + std::to_string(row) + ": \"" + v +
                                       "\" is not a number of copies; one card is made");
                copies = 1;
            } else if (copies > mergeCopiesLimit) {
                out.warnings.push_back("row " + std::to_string(row) + ": " + v + " copies are more than " +
                                       std::to_string(mergeCopiesLimit) + "; " + std::to_string(mergeCopiesLimit) +
                                       " are made");
                copies = mergeCopiesLimit;
            }
        }
        for (int64_t c = 0; c < copies; ++c) out.cards.push_back({int32_t(r), number++});
    }
    return out;
}

std::vector<std::vector<int32_t>> placeCards(size_t cards, int32_t cellsPerSheet, int32_t startCell,
                                             const std::function<bool(int32_t cell)>& printed)
{
    std::vector<std::vector<int32_t>> sheets;
    if (cellsPerSheet < 1) return sheets;
    bool any = false;
    for (int32_t c = 1; c <= cellsPerSheet && !any; ++c) any = !printed || printed(c);
    if (!any) return sheets;
    size_t next = 0;
    bool first = true;
    while (next < cards) {
        std::vector<int32_t> sheet(size_t(cellsPerSheet), -1);
        for (int32_t c = 1; c <= cellsPerSheet && next < cards; ++c) {
            if (first && c < startCell) continue;
            if (printed && !printed(c)) continue;
            sheet[size_t(c - 1)] = int32_t(next++);
        }
        first = false;
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

mergeRow_t::mergeRow_t(const csvTable_t& table, int32_t row) : table_(table)
{
    if (row < 0 || size_t(row) >= table.rows.size()) return;
    for (const auto& v : table.rows[size_t(row)]) values_.push_back(utf16Of(v));
}

fieldLookup_t mergeRow_t::lookup() const
{
    return [this](std::u16string_view name) -> std::optional<std::u16string_view> {
        const int32_t k = table_.column(utf8Of(name));
        if (k < 0) return std::nullopt;
        if (size_t(k) >= values_.size()) return std::u16string_view();
        return std::u16string_view(values_[size_t(k)]);
    };
}

std::vector<std::string> mergeWarnings(const itemList_t& document, const csvTable_t& table,
                                       const std::vector<mergeCard_t>& cards, size_t limit)
{
    std::vector<std::u16string_view> texts;
    for (const item_t* item = document.head; item; item = item->next) {
        if (item->itemType != typeText) continue;
        const std::u16string_view t(item->text.data(), size_t(std::max(textLength(item), 0)));
        if (hasFields(t)) texts.push_back(t);
    }
    std::vector<std::string> out;
    auto add = [&](std::string w) {
        if (out.size() < limit) out.push_back(std::move(w));
    };
    std::vector<std::u16string> unknown;
    for (auto t : texts)
        for (auto& name : fieldNamesIn(t))
            if (table.column(utf8Of(name)) < 0 && std::find(unknown.begin(), unknown.end(), name) == unknown.end()) {
                unknown.push_back(name);
                add("the data has no column \"" + utf8Of(name) + "\": ${" + utf8Of(name) + "} is printed as it stands");
            }
    int32_t lastRow = -1;
    for (const mergeCard_t& card : cards) {
        if (card.row == lastRow) continue;  // copies of one row miss the same values
        lastRow = card.row;
        const mergeRow_t row(table, card.row);
        fieldReport_t report;
        for (auto t : texts) substituteFields(t, lineSeparator, row.lookup(), card.number, &report);
        if (report.missing.empty()) continue;
        std::string names;
        for (const auto& n : report.missing) names += (names.empty() ? "" : ", ") + utf8Of(n);
        add("row " + std::to_string(card.row + 1) + " has no value for " + names);
        if (out.size() >= limit) break;
    }
    return out;
}

} // namespace model
