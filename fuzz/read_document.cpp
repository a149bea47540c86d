// Feeds arbitrary bytes to the document reader, answering Yes to the question
// about invalid records so that every record is processed.
#include "model/docfile.h"
#include "model/itemlist.h"

#include <cstddef>
#include <cstdint>

namespace {

struct yesQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    model::itemList_t list;
    // Something to replace, so that the swap is exercised too.
    model::newItem(list, model::typeLine);
    yesQuestions q;
    if (model::readDocumentBytes(data, size, list, q)) {
        // Walk what was built the way the editor would.
        for (const model::item_t* it = list.head; it; it = it->next) {
            (void)model::textLineCount(it);
            (void)model::countNodes(it->points);
        }
        (void)model::nextStepId(list);
    }
    model::freeList(list);
    return 0;
}
