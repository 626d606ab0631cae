#include "saver/MidiChoice.h"

#include "pictures/PictureCycle.h"

#include <vector>

namespace {

void AddMidiFiles(std::vector<std::string>& candidates, const std::string& folder, const ListFolder& list)
{
    for (const FolderEntry& file : list(folder + "\\*.mid"))
        if (!file.folder && !pictures::NameMayBeCut(file.path))  // a folder named "x.mid" plays nothing, nor a cut name
            candidates.push_back(file.path);
}

}  // namespace

std::string ChooseVelmoraMidi(const std::string& cacheFolder, const std::string& windowsFolder,
                              const ListFolder& list, const std::function<int()>& random)
{
    std::vector<std::string> candidates;
    if (!cacheFolder.empty())
        for (const FolderEntry& folder : list(cacheFolder + "\\Content.IE5\\*.*"))
            if (folder.folder)
                AddMidiFiles(candidates, folder.path, list);
    if (candidates.empty() && !windowsFolder.empty())
        AddMidiFiles(candidates, windowsFolder + "\\Media", list);
    if (candidates.empty())
        return std::string();
    const unsigned draw = static_cast<unsigned>(random());
    return candidates[draw % candidates.size()];
}
