// The list of recently used files and the text of an open request from the
// desktop: plain operations without windows.
#pragma once

#include "canvas/shellparams.h"

#include <QString>

#include <vector>

namespace app {

// Moves `name` to the top of the list, or inserts it there; an equal entry
// (ignoring case) is taken out first; the sixteenth entry falls off.
void addRecentTo(settings::reopenarr_t& list, const QString& name);

// The caption of a Reopen entry: the file name without folder and extension.
QString recentCaption(const QString& entry);

// The captions of the whole list, in order: where two entries share a
// caption (ignoring case), each of them names its folder too, so that the
// user can tell them apart ("plan  (~/work)"). Empty entries stay empty.
std::vector<QString> recentCaptions(const settings::reopenarr_t& list);

// The file named by an open request ("[open("path")]"): the first line,
// without everything up to and including the first double quote and
// everything from the next double quote on. Without quotes the whole line.
QString openMacroFileName(const QString& request);

// The open request for a file, as the file association sends it.
QString openMacroFor(const QString& path);

} // namespace app
