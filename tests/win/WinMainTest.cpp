#include "tests/win/WinTest.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <utility>

CSaverApp& TestApp()
{
    static CSaverApp app;
    return app;
}

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    ::GetTempFileNameA(temp, "vlm", 0, name);
    ::DeleteFileA(name);
    ::CreateDirectoryA(name, nullptr);
    m_path = name;
}

ScratchFolder::ScratchFolder(std::string path) : m_path(std::move(path))
{
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

namespace {

// Removes a folder with everything in it.
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void UseProfile(const std::string& path)
{
    std::unique_ptr<char[]> name(new char[path.size() + 1]);
    std::memcpy(name.get(), path.c_str(), path.size() + 1);
    TestApp().SetProfileName(std::move(name));
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

int main(int argc, char** argv)
{
    TestApp();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
