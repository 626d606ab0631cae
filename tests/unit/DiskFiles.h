// The files of the disk as the pictures' way sees them, for the native tests
// of its readers over caches that real browsers wrote (tools/caches puts them
// in the folder that VLM_CACHES names). A path's backslashes are the disk's
// slashes; a file's last write is its modification time.
#pragma once

#include "pictures/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

class DiskFiles : public pictures::Files {
public:
    std::vector<pictures::FolderEntry> List(const std::string& folder) override
    {
        std::vector<pictures::FolderEntry> entries;
        std::error_code error;
        for (const auto& item : std::filesystem::directory_iterator(Disk(folder), error)) {
            struct stat status {};
            const bool known = ::stat(item.path().c_str(), &status) == 0;
            entries.push_back({folder + "\\" + item.path().filename().string(), item.is_directory(error),
                               known ? static_cast<std::uint64_t>(status.st_size) : 0,
                               known ? pictures::FromUnixSeconds(status.st_mtime) : 0});
        }
        return entries;
    }
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        ++opened[path];
        if (std::filesystem::is_directory(Disk(path)))
            return nullptr;
        auto file = std::make_unique<File>(Disk(path));
        return file->stream ? std::move(file) : nullptr;
    }

    std::map<std::string, int> opened;  // how often each path was opened

private:
    struct File : pictures::ReadFile {
        explicit File(const std::string& path) : stream(path, std::ios::binary) {}
        std::uint64_t Size() override
        {
            stream.clear();
            stream.seekg(0, std::ios::end);
            return static_cast<std::uint64_t>(stream.tellg());
        }
        bool ReadAt(std::uint64_t offset, void* out, std::size_t size) override
        {
            stream.clear();
            stream.seekg(static_cast<std::streamoff>(offset));
            stream.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
            return stream && static_cast<std::size_t>(stream.gcount()) == size;
        }
        std::ifstream stream;
    };
    static std::string Disk(std::string path)
    {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
};

// The folder of a cache that tools/caches made ("" where VLM_CACHES is unset).
inline std::string CacheFolder(const std::string& name)
{
    const char* caches = std::getenv("VLM_CACHES");
    return caches != nullptr ? std::string(caches) + "/" + name : std::string();
}
