// Files held in memory, as the pictures' way sees files: for the tests and
// fuzz targets that cut, change or make a cache's bytes. Each file is its own
// buffer, so that a read past its end is caught by the sanitizers. A path
// that is a prefix of others, followed by a backslash, is their folder.
#pragma once

#include "pictures/Files.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MemoryFiles : public pictures::Files {
public:
    std::map<std::string, std::vector<unsigned char>> files;
    std::map<std::string, pictures::Time> written;  // a file's last write, 0 where not given

    std::vector<pictures::FolderEntry> List(const std::string& folder) override
    {
        std::vector<pictures::FolderEntry> entries;
        const std::string prefix = folder + "\\";
        for (auto it = files.lower_bound(prefix); it != files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
             ++it) {
            const std::string::size_type slash = it->first.find('\\', prefix.size());
            const std::string path = it->first.substr(0, slash);
            if (!entries.empty() && entries.back().path == path)
                continue;
            const bool folder = slash != std::string::npos;
            entries.push_back({path, folder, folder ? 0 : it->second.size(), folder ? 0 : written[path]});
        }
        return entries;
    }
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        const auto it = files.find(path);
        return it == files.end() ? nullptr : std::make_unique<File>(it->second);
    }

private:
    struct File : pictures::ReadFile {
        explicit File(const std::vector<unsigned char>& bytes) : bytes(bytes) {}
        std::uint64_t Size() override { return bytes.size(); }
        bool ReadAt(std::uint64_t offset, void* out, std::size_t size) override
        {
            if (offset > bytes.size() || size > bytes.size() - offset)
                return false;
            if (size > 0)
                std::memcpy(out, bytes.data() + offset, size);
            return true;
        }
        const std::vector<unsigned char>& bytes;
    };
};
