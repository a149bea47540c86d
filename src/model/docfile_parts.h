// Pieces the document file's writer, reader and memory budget share. Not a
// public interface: only the docfile_*.cpp files include it.
#pragma once

#include "model/docfile.h"

#include <cstdint>
#include <string>
#include <system_error>

namespace model::docfile {

inline bool isTextBlobType(int32_t t) { return t == typeHeader || t == typeText; }

inline bool acceptedTextLength(int32_t len) { return len > 0 && len < textBlobLimit; }

inline std::string systemMessage(int err) { return std::error_code(err, std::generic_category()).message(); }

// The name without the blanks around it.
std::string trimmed(const std::string& s);

// "512,000": the number with its thousands grouped by commas.
std::string groupedThousands(int64_t n);

// What a record read from a file costs in memory: the record and its
// allocation. Nodes of points and anchors likewise.
constexpr uint64_t allocationOverhead = 2 * sizeof(void*);
constexpr uint64_t recordMemoryCost = sizeof(item_t) + allocationOverhead;
constexpr uint64_t pointMemoryCost = sizeof(pointNode_t) + allocationOverhead;
constexpr uint64_t anchorMemoryCost = sizeof(anchorNode_t) + allocationOverhead;

// Counts what the records read so far take, so that a file whose records
// would not fit in memory is refused before the allocation that would fail.
class memoryMeter {
public:
    explicit memoryMeter(uint64_t budget) : budget_(budget) {}
    // True when `bytes` more still fit; they are counted then.
    bool take(uint64_t bytes)
    {
        if (bytes > budget_ - used_) {
            exhausted_ = true;
            return false;
        }
        used_ += bytes;
        return true;
    }
    bool exhausted() const { return exhausted_; }

private:
    uint64_t budget_;
    uint64_t used_ = 0;
    bool exhausted_ = false;
};


// The memory budget of a read: the limits' own, or what the machine has.
uint64_t budgetOf(const readLimits_t& limits);

// Whether even the largest number of records `size` bytes can hold fits the budget.
bool recordsCanFit(uint64_t size, uint64_t budget);

std::string tooLargeMessage(const std::string& what, const readLimits_t& limits);
std::string tooManyRecordsMessage(const std::string& what);

} // namespace model::docfile
