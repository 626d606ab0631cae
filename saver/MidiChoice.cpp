#include "saver/MidiChoice.h"

std::string ChooseCacheMidi(const std::string& cacheFolder, const ListFolder& list,
                            const std::function<int()>& random)
{
    std::vector<std::string> candidates;
    for (const FolderEntry& folder : list(cacheFolder + "\\Content.IE5\\*.*")) {
        if (!folder.folder)
            continue;
        for (const FolderEntry& file : list(folder.path + "\\*.mid"))
            if (!file.folder)  // a folder named "x.mid" plays nothing
                candidates.push_back(file.path);
    }
    if (candidates.empty())
        return std::string();
    const unsigned draw = static_cast<unsigned>(random());
    return candidates[draw % candidates.size()];
}
