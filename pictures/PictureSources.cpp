#include "pictures/PictureSources.h"

#include "pictures/PictureCycle.h"

#include <random>
#include <utility>

namespace pictures {

namespace {

// The profiles' folders of a browser, wherever it keeps them.
void AddProfiles(std::vector<std::string>& sources, const std::string& profiles, const char* cache,
                 const ListFolder& list)
{
    for (const FolderEntry& entry : list(ListingPattern(profiles)))
        if (IsSubFolder(entry.folder, entry.path))
            sources.push_back(entry.path + cache);
}

}  // namespace

std::vector<std::string> ListSources(const std::string& localAppData, const std::string& internetCache,
                                     const ListFolder& list)
{
    static const char* const kChromiumFamily[] = {"\\Microsoft\\Edge", "\\Google\\Chrome",
                                                  "\\BraveSoftware\\Brave-Browser", "\\Vivaldi"};
    std::vector<std::string> sources;
    if (!localAppData.empty()) {
        for (const char* browser : kChromiumFamily)
            AddProfiles(sources, localAppData + browser + "\\User Data", "\\Cache\\Cache_Data", list);
        AddProfiles(sources, localAppData + "\\Mozilla\\Firefox\\Profiles", "\\cache2\\entries", list);
    }
    if (!internetCache.empty()) {
        AddProfiles(sources, internetCache + "\\IE", "", list);
        AddProfiles(sources, internetCache + "\\Content.IE5", "", list);
    }
    return sources;
}

std::string ChooseSource(const std::vector<std::string>& sources, unsigned seed, const ListFolder& list,
                         const IsPictureFile& isPicture)
{
    // Fisher and Yates's shuffle, from a generator whose every value the
    // language fixes, so that a seed always gives the same order.
    std::vector<std::string> order = sources;
    std::minstd_rand random(seed);
    for (std::size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[random() % i]);
    for (const std::string& source : order)
        for (const FolderEntry& entry : list(ListingPattern(source)))
            if (!entry.folder && isPicture(entry.path))
                return source;
    return {};
}

}  // namespace pictures
