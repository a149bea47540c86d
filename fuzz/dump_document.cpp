// Reads arbitrary bytes as a document and writes it as dump --json does; a
// malformed JSON result is a finding like a crash (fuzzing::dumpIsWellFormed).
#include "harness.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzzing::dumpIsWellFormed(data, size)) std::abort();
    return 0;
}
