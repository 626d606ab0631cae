#include "pictures/WinFiles.h"

#include "fw/File.h"
#include "fw/FileFind.h"

namespace {

class CReadFile : public pictures::ReadFile {
public:
    std::uint64_t Size() override { return m_file.GetLength(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t size) override
    {
        return m_file.ReadAt(offset, out, size) != FALSE;
    }

    CFile m_file;
};

}  // namespace

std::vector<pictures::FolderEntry> CWinFiles::List(const std::string& folder)
{
    std::vector<pictures::FolderEntry> entries;
    CFileFind finder;
    if (!finder.FindFile((folder + "\\*").c_str()))
        return entries;
    while (finder.HasNext()) {
        finder.FindNextFile();
        const std::string path = finder.GetFilePath();
        if (finder.IsDots() || pictures::NameMayBeCut(path))
            continue;
        // File times count 100-nanosecond steps since 1601.
        const FILETIME written = finder.GetLastWriteTime();
        entries.push_back({path, finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != 0, finder.GetLength(),
                           static_cast<pictures::Time>(
                               (static_cast<ULONGLONG>(written.dwHighDateTime) << 32 | written.dwLowDateTime) / 10)});
    }
    return entries;
}

std::unique_ptr<pictures::ReadFile> CWinFiles::Open(const std::string& path)
{
    auto file = std::make_unique<CReadFile>();
    if (!file->m_file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone))
        return nullptr;
    return file;
}
