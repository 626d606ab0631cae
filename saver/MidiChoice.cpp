#include "saver/MidiChoice.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool IsMidiName(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".mid") == 0;
}

void AddMidiFiles(std::vector<std::string>& candidates, const std::vector<pictures::FolderEntry>& listing)
{
    for (const pictures::FolderEntry& file : listing)
        if (!file.folder && IsMidiName(pictures::NameOf(file.path)))
            candidates.push_back(file.path);
}

}  // namespace

std::string ChooseVelmoraMidi(const std::string& cacheFolder, const std::string& windowsFolder,
                              pictures::Files& files, const std::function<int()>& random)
{
    std::vector<std::string> candidates;
    if (!cacheFolder.empty()) {
        const std::vector<pictures::FolderEntry> ie5 = files.List(cacheFolder + "\\Content.IE5");
        if (!ie5.empty()) {
            AddMidiFiles(candidates, ie5);
            AddMidiFiles(candidates, files.List(cacheFolder));
        }
        for (const pictures::FolderEntry& folder : ie5)
            if (folder.folder)
                AddMidiFiles(candidates, files.List(folder.path));
    }
    if (candidates.empty() && !windowsFolder.empty())
        AddMidiFiles(candidates, files.List(windowsFolder + "\\Media"));
    if (candidates.empty())
        return std::string();
    const unsigned draw = static_cast<unsigned>(random());
    return candidates[draw % candidates.size()];
}
