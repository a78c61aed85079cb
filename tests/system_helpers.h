#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

#include "command_line.h"
#include "standin_database.h"
#include "system_services.h"

#ifdef _WIN32
#include <windows.h>
#endif

// A folder of its own for one test, removed with everything in it. By
// default its name holds a blank, "&" and accented letters, which every path
// through the interpreter must survive.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name = "vaciallena prueba & cía")
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                standin::PathFromUtf8(name + " " + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    // UTF-8, as the engine sees paths.
    std::string Path() const { return standin::Utf8FromPath(path_); }
    std::string Make(const std::string& name) const
    {
        const std::string folder = JoinPath(Path(), name);
        std::filesystem::create_directories(standin::PathFromUtf8(folder));
        return folder;
    }

  private:
    std::filesystem::path path_;
};

inline void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream file(standin::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!file.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream file(standin::PathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline bool Exists(const std::string& path)
{
    return std::filesystem::exists(standin::PathFromUtf8(path));
}

// Sets an environment variable for the commands this process starts, and
// puts back what was there before.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        Set(value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { Set(hadOld_ ? old_.c_str() : nullptr); }

  private:
    void Set(const char* value)
    {
#ifdef _WIN32
        // The C runtime's copy first: it writes through to the Win32
        // environment, which child processes get, and must not have the last word.
        const std::wstring wideName(name_.begin(), name_.end());
        const std::filesystem::path wideValue = standin::PathFromUtf8(value ? value : "");
        _wputenv_s(wideName.c_str(), wideValue.c_str());
        SetEnvironmentVariableW(wideName.c_str(), value ? wideValue.c_str() : nullptr);
#else
        if (value)
            setenv(name_.c_str(), value, 1);
        else
            unsetenv(name_.c_str());
#endif
    }

    std::string name_;
    std::string old_;
    bool hadOld_ = false;
};

// Stands for the window's event handling while the system waits. On Windows
// it handles the thread's messages and counts the WM_APP it posts when made:
// events already waiting must be handled, not left for after. Elsewhere it
// counts its calls.
class EventCounter {
  public:
    EventCounter()
    {
#ifdef _WIN32
        PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
#endif
    }
    std::function<void()> Handler()
    {
        return [this] {
#ifdef _WIN32
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                handled_ += message.message == WM_APP;
#else
            ++handled_;
#endif
        };
    }
    int Handled() const { return handled_; }

  private:
    int handled_ = 0;
};

// The real system, with the table lists in a folder of the test's own
// instead of beside the test program.
class SystemWithListsIn : public SystemServices {
  public:
    explicit SystemWithListsIn(std::string folder) : folder_(std::move(folder)) {}
    std::string ProgramFolder() override { return folder_; }

  private:
    std::string folder_;
};

// The dlc\bin folder of the stand-in proutil, laid out beside the test
// programs as in a Progress installation: proutil (a batch file on Windows,
// a shell script elsewhere) and the program _proutil it starts.
inline std::string StandinFolder()
{
    return JoinPath(JoinPath(SystemServices().ProgramFolder(), "dlc"), "bin");
}
