#include "pictures/FolderCache.h"

#include "pictures/PictureHeader.h"

#include <utility>

namespace pictures {

namespace {

class FolderCache : public CacheReader {
public:
    FolderCache(std::string folder, std::vector<FolderEntry> listing, Files& files, bool byName)
        : m_folder(std::move(folder)), m_listing(std::move(listing)), m_files(files), m_byName(byName)
    {
    }

    // The listing taken at the opening serves the first pass.
    std::vector<CacheEntry> List() override
    {
        std::vector<CacheEntry> entries;
        for (const FolderEntry& file : m_listing.empty() ? m_files.List(m_folder) : m_listing)
            if (!file.folder && (!m_byName || IsPictureName(file.path)))
                entries.push_back({file.path, file.written, file.path, 0, file.size});
        m_listing.clear();
        return entries;
    }

    // The file as it is now, which may have grown or shrunk since its listing.
    bool Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes) override
    {
        const std::unique_ptr<ReadFile> file = m_files.Open(entry.file);
        return file && ReadRange(*file, 0, file->Size(), limit, bytes);
    }

private:
    std::string m_folder;
    std::vector<FolderEntry> m_listing;
    Files& m_files;
    bool m_byName;
};

}  // namespace

std::unique_ptr<CacheReader> OpenFolderCache(const std::string& folder, std::vector<FolderEntry> listing,
                                             Files& files, bool byName)
{
    return std::make_unique<FolderCache>(folder, std::move(listing), files, byName);
}

}  // namespace pictures
