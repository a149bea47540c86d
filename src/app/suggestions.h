// The next-step suggestions offered below the side panel: which numbers a
// panel offers, their captions and what choosing one does.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace app {

constexpr int32_t suggestionCount = 53;
constexpr int32_t suggestionButtons = 4;

// What the suggestions of a panel depend on besides its code.
struct suggestionContext_t {
    bool hasSelection = false;       // something is selected in the active document
    bool firstSelectedIsText = false;
};

// The suggestion numbers of a panel code, ascending.
std::vector<int32_t> suggestionsFor(int32_t code, const suggestionContext_t& context);

// The caption of suggestion n (1..53); empty for other numbers.
QString suggestionText(int32_t n);

struct suggestionAction_t {
    enum kind_t {
        show,     // show `code` (the steps below first)
        pending,  // run `code` through the deferred panel command
        join,     // join the selected items, then show `code`
        split,    // split the selected group, then show `code`
    } kind = show;
    int32_t code = 0;
    bool selectNewest = false;    // select the newest item first
    bool needsSelection = false;  // `code` only with a selection, else the insert panel
    int32_t guidance = 0;         // shown instead while its show flag is set
};

suggestionAction_t suggestionAction(int32_t n);

// The first four numbers of a set: the buttons shown.
std::vector<int32_t> shownSuggestions(const std::vector<int32_t>& set);

} // namespace app
