// The memory budget of a document read: what the machine can give, what a
// file of a given size may need at most, and the sentences that refuse one.
#include "model/docfile_parts.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#if defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#endif

namespace model {

namespace docfile {

uint64_t budgetOf(const readLimits_t& limits)
{
    return limits.memoryBudget ? limits.memoryBudget : availableMemoryBudget();
}

bool recordsCanFit(uint64_t size, uint64_t budget)
{
    const uint64_t most = size / recordSize;
    return most <= budget / recordMemoryCost;
}

namespace {

// "2 GB", "64 MB" or "1000 bytes".
std::string bytesText(uint64_t n)
{
    if (n >= (uint64_t(1) << 30) && n % (uint64_t(1) << 30) == 0) return std::to_string(n >> 30) + " GB";
    if (n >= (uint64_t(1) << 20) && n % (uint64_t(1) << 20) == 0) return std::to_string(n >> 20) + " MB";
    return std::to_string(n) + " bytes";
}

} // namespace

std::string tooLargeMessage(const std::string& what, const readLimits_t& limits)
{
    return what + " is too large to open: a document may have at most " + bytesText(limits.maxFileBytes);
}

std::string tooManyRecordsMessage(const std::string& what)
{
    return what + " holds more records than fit in the memory available";
}

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string groupedThousands(int64_t n)
{
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (auto i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return n < 0 ? "-" + digits : digits;
}

} // namespace docfile

uint64_t availableMemoryBudget()
{
    uint64_t available = UINT64_MAX;
#if defined(__unix__)
    // What the kernel says can be had without swapping others out.
    std::ifstream info("/proc/meminfo");
    std::string key;
    uint64_t kb = 0;
    while (info >> key >> kb) {
        if (key == "MemAvailable:") {
            available = kb * 1024;
            break;
        }
        info.ignore(256, '\n');
    }
    // A limit on the address space or the data segment counts from what the
    // process already uses.
    uint64_t pages = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident >> shared >> text >> lib >> data;
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const std::pair<int, uint64_t> inUse[] = {{RLIMIT_AS, pages * page}, {RLIMIT_DATA, data * page}};
    for (const auto& [resource, used] : inUse) {
        rlimit r{};
        if (getrlimit(resource, &r) == 0 && r.rlim_cur != RLIM_INFINITY)
            available = std::min<uint64_t>(available, r.rlim_cur > used ? r.rlim_cur - used : 0);
    }
#endif
    // A quarter stays for the rest of the program (the canvas, the output).
    return available == UINT64_MAX ? available : available - available / 4;
}

} // namespace model
