#include "pictures/PictureSources.h"

#include "pictures/BlockfileCache.h"
#include "pictures/FirefoxCache.h"
#include "pictures/FolderCache.h"
#include "pictures/SimpleCache.h"
#include "pictures/SqlCache.h"

#include <random>
#include <utility>

namespace pictures {

namespace {

// The profiles' folders of a browser, wherever it keeps them.
void AddProfiles(std::vector<std::string>& sources, const std::string& profiles, const char* cache, Files& files)
{
    for (const FolderEntry& entry : files.List(profiles))
        if (entry.folder)
            sources.push_back(entry.path + cache);
}

}  // namespace

std::vector<std::string> ListSources(const std::string& localAppData, const std::string& internetCache, Files& files)
{
    static const char* const kChromiumFamily[] = {"\\Microsoft\\Edge", "\\Google\\Chrome",
                                                  "\\BraveSoftware\\Brave-Browser", "\\Vivaldi"};
    std::vector<std::string> sources;
    if (!localAppData.empty()) {
        for (const char* browser : kChromiumFamily)
            AddProfiles(sources, localAppData + browser + "\\User Data", "\\Cache\\Cache_Data", files);
        AddProfiles(sources, localAppData + "\\Mozilla\\Firefox\\Profiles", "\\cache2\\entries", files);
    }
    if (!internetCache.empty()) {
        AddProfiles(sources, internetCache + "\\IE", "", files);
        AddProfiles(sources, internetCache + "\\Content.IE5", "", files);
    }
    return sources;
}

// Fisher and Yates's shuffle, from a generator whose every value the language
// fixes.
std::vector<std::string> ShuffleSources(std::vector<std::string> sources, unsigned seed)
{
    std::minstd_rand random(seed);
    for (std::size_t i = sources.size(); i > 1; --i)
        std::swap(sources[i - 1], sources[random() % i]);
    return sources;
}

// The folder is listed once, for every layout to judge.
std::unique_ptr<CacheReader> OpenCache(const std::string& folder, Files& files)
{
    std::vector<FolderEntry> listing = files.List(folder);
    if (listing.empty())
        return nullptr;
    for (const auto open : {OpenBlockfileCache, OpenSqlCache, OpenSimpleCache, OpenFirefoxCache})
        if (std::unique_ptr<CacheReader> reader = open(folder, listing, files))
            return reader;
    return OpenFolderCache(folder, std::move(listing), files, false);
}

}  // namespace pictures
