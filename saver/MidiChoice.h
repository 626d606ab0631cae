// The music of Velmora mode: a MIDI file picked at random among those the
// browser's cache holds, or else among those that Windows itself ships in its
// Media folder. Every folder entry of the cache's Content.IE5 listing is
// searched, "." and ".." too, so files in Content.IE5 itself and in the cache
// folder above it take part.
#pragma once

#include "pictures/PictureSources.h"

#include <functional>
#include <string>

using pictures::FolderEntry;
using pictures::ListFolder;

// The chosen file: one of the cache's, else one of "<windows>\Media\*.mid"
// (either folder may be "", unknown); "" when neither offers one (a folder
// named "x.mid" is no candidate). Draws one value from random, and only when
// there are candidates.
std::string ChooseVelmoraMidi(const std::string& cacheFolder, const std::string& windowsFolder,
                              const ListFolder& list, const std::function<int()>& random);
