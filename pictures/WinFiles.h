// Windows' files as the pictures' way asks for them: folders listed through
// the file finder, and every file opened for reading only and shared with
// every other opener (read, write and delete), so that a browser goes on
// writing, evicting and deleting its cache files while the saver reads them.
#pragma once

#include "pictures/Files.h"

class CWinFiles : public pictures::Files {
public:
    // A name that the 8-bit listing may have cut is left out.
    std::vector<pictures::FolderEntry> List(const std::string& folder) override;
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override;
};
