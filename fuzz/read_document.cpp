// Feeds arbitrary bytes to the document reader, answering Yes to the question
// about invalid records so that every record is processed, over a list that
// already holds a record, so that the swap is exercised too.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    model::itemList_t list;
    model::newItem(list, model::typeLine);
    fuzzing::readDocument(data, size, list);
    model::freeList(list);
    return 0;
}
