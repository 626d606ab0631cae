// Helpers of the tests that run under wine: the application object whose
// profile functions the program's windows use, scratch folders and files, the
// real files of the corpus (tools/fetch-corpus).
#pragma once

#include "app/SaverApp.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

// The process's application object, as vlm.scr has one (never started).
inline CSaverApp& TestApp()
{
    static CSaverApp app;
    return app;
}

// Points the application's profile functions at a file.
inline void UseProfile(const std::string& path)
{
    auto name = std::make_unique<char[]>(path.size() + 1);
    path.copy(name.get(), path.size());
    TestApp().SetProfileName(std::move(name));
}

inline void PumpMessages()
{
    for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        ::DispatchMessageA(&msg);
}

inline void WriteFileBytes(const std::string& f, const std::string& s) { std::ofstream(f, std::ios::binary) << s; }

// A folder, new under the temporary folder or at a given place, removed with
// its files at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string path = {}) : m_path(std::move(path))
    {
        char temp[MAX_PATH], name[MAX_PATH];
        if (m_path.empty() && ::GetTempPathA(MAX_PATH, temp) && ::GetTempFileNameA(temp, "vlm", 0, name))
            ::DeleteFileA((m_path = name).c_str());
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        const std::string from = m_path + '\0';  // a list of one, ended by a second NUL
        SHFILEOPSTRUCTA op{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
        ::SHFileOperationA(&op);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// A file of the corpus, in the Linux folder that VLM_CORPUS names (Z: to wine).
inline std::string CorpusFile(std::string name)
{
    const char* folder = std::getenv("VLM_CORPUS");
    name = "Z:" + std::string(folder != nullptr ? folder : "") + "/" + name;
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}
