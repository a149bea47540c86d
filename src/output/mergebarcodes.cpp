#include "output/mergebarcodes.h"

#include "model/barcode.h"
#include "model/fields.h"
#include "render/barcode.h"

namespace output {

std::vector<std::string> mergeBarcodeProblems(const model::itemList_t& document, const model::csvTable_t& table,
                                              const std::vector<model::mergeCard_t>& cards, size_t limit)
{
    struct code_t {
        model::barcodeContent_t content;
        std::u16string data;
    };
    std::vector<code_t> codes;
    // Every code the sheet draws, members of groups among them; versions
    // an edit, a deletion or an undo hid are never drawn, so never checked.
    for (const model::item_t* item = document.head; item; item = item->next) {
        if (item->hidden || !model::isBarcodeItem(item)) continue;
        std::optional<model::barcodeContent_t> content = model::readBarcode(item);
        if (!content) continue;
        std::u16string data = model::utf16Of(content->data);
        if (model::hasFields(data)) codes.push_back({std::move(*content), std::move(data)});
    }
    std::vector<std::string> out;
    if (codes.empty()) return out;
    for (const model::mergeCard_t& card : cards) {
        if (out.size() >= limit) break;
        const model::mergeRow_t row(table, card.row);
        for (const code_t& c : codes) {
            // Checked by laying the code out as the drawing will: the drawing
            // then finds each row's symbol made and encodes nothing again.
            model::barcodeContent_t filled = c.content;
            filled.data = model::utf8Of(model::substituteFields(c.data, u'\n', row.lookup(), card.number));
            const std::shared_ptr<const render::barcodeLayout_t> layout = render::barcodeLayout(filled);
            const std::string& problem = layout->error;
            if (problem.empty()) continue;
            const std::string& value = filled.data;
            // A long value is named by its start; the problem says the rest.
            size_t shown = 40;
            if (value.size() > shown)
                while (shown > 0 && (static_cast<unsigned char>(value[shown]) & 0xC0) == 0x80) --shown;  // whole characters
            const std::string quoted = value.size() > shown ? value.substr(0, shown) + "..." : value;
            const std::string line = "row " + std::to_string(card.row + 1) + ": the " +
                                     std::string(model::symbologyTitle(c.content.symbology)) + " cannot hold \"" +
                                     quoted + "\": " + problem;
            // A copy of a row already named would only repeat it.
            if (out.empty() || out.back() != line) out.push_back(line);
            break;
        }
    }
    return out;
}

} // namespace output
