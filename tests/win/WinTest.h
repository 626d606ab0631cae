// Helpers of the tests that run under wine: a scratch folder, files, and the
// application object whose profile functions the program's windows use.
#pragma once

#include "app/SaverApp.h"

#include <gtest/gtest.h>

#include <string>

// The process's application object, as vlm.scr has one (never started:
// InitInstance does not run).
CSaverApp& TestApp();

// A fresh folder under the system's temporary folder, removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    // A folder at a given place, made now and removed with its files.
    explicit ScratchFolder(std::string path);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Points the application's profile functions at a file.
void UseProfile(const std::string& path);

// Dispatches the thread's pending messages.
void PumpMessages();
