// The music of Velmora mode: a MIDI file picked at random among those the
// browser's cache holds (in its Content.IE5 folder, the cache folder above it,
// and Content.IE5's sub-folders), or else among those that Windows itself
// ships in its Media folder.
#pragma once

#include "pictures/Files.h"

#include <functional>
#include <string>

// The chosen file: one of the cache's, else one of "<windows>\Media\*.mid"
// (either folder may be "", unknown); "" when neither offers one (a folder
// named "x.mid" is no candidate). Draws one value from random, and only when
// there are candidates.
std::string ChooseVelmoraMidi(const std::string& cacheFolder, const std::string& windowsFolder,
                              pictures::Files& files, const std::function<int()>& random);
