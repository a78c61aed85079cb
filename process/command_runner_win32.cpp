#include "command_runner.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <cwchar>
#include <vector>

#include "output_keeper.h"
#include "texts.h"
#include "win32_handle.h"
#include "win32_text.h"

namespace {

std::wstring Environment(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// cmd /c strips the first and the last quote of its line, so a line that
// quotes anything is wrapped in one more pair; a bare line stays as it is.
std::wstring InterpreterLine(const std::wstring& comspec, const std::wstring& command)
{
    const std::wstring interpreter = comspec.find(L' ') == std::wstring::npos ? comspec : L'"' + comspec + L'"';
    const std::wstring line = command.find(L'"') == std::wstring::npos ? command : L'"' + command + L'"';
    return interpreter + L" /c " + line;
}

// The name of a "NAME=value" entry. The hidden per-drive entries such as
// "=C:=C:\dir" start with the sign that otherwise ends the name.
std::wstring_view VariableName(std::wstring_view entry)
{
    return entry.substr(0, entry.find(L'=', 1));
}

int CompareNames(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE);
}

// The program's environment with the command's variables put over it.
// Windows wants the block sorted by name, ignoring case, in code point order.
std::vector<wchar_t> EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& variables)
{
    const UniqueEnvironmentStrings current(GetEnvironmentStringsW());
    if (!current.Valid())
        ThrowSystemError<CommandNotRun>(texts::kCannotReadEnvironment);
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = current.Get(); *entry != L'\0'; entry += std::wcslen(entry) + 1)
        entries.emplace_back(entry);
    for (const auto& [name, value] : variables) {
        const std::wstring wideName = Utf16(name);
        std::erase_if(entries, [&wideName](const std::wstring& entry) {
            return CompareNames(VariableName(entry), wideName) == CSTR_EQUAL;
        });
        entries.push_back(wideName + L'=' + Utf16(value));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareNames(VariableName(a), VariableName(b)) == CSTR_LESS_THAN;
    });
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// The output goes to a file rather than a pipe: a pipe must be drained
// while the command runs, or a talkative command blocks for ever. The
// caller's file when it asked for one, to keep; a temporary one otherwise.
UniqueHandle CreateOutputFile(const std::string& keptIn, SECURITY_ATTRIBUTES& inheritable)
{
    if (!keptIn.empty()) {
        // The command's processes hold the file through their inherited
        // handles, and a process they started may hold it a little after
        // they end: the program must still be able to delete it then.
        UniqueHandle file(CreateFileW(Utf16(keptIn).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid())
            ThrowSystemError<CommandNotRun>(texts::kCannotCreateFile, keptIn);
        return file;
    }
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"vll", 0, name) == 0)
        ThrowSystemError<CommandNotRun>(texts::kCannotMakeOutputFile);
    UniqueHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (!file.Valid()) {
        const SystemError error;
        DeleteFileW(name);
        throw CommandNotRun(std::string(texts::kCannotMakeOutputFile) + ": " + error.Text());
    }
    return file;
}

// Only the kept beginning and end are read, so that a huge output costs
// neither memory nor time.
void ReadOutput(HANDLE file, CommandResult& result)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        ThrowSystemError<RunError>(texts::kCannotReadOutput);
    const auto total = static_cast<std::uint64_t>(size.QuadPart);
    const bool whole = total <= 2 * kOutputKeptBytes;
    std::string head;
    std::string end;
    if (!ReadFileBytes(file, 0, whole ? 2 * kOutputKeptBytes : kOutputKeptBytes, head) ||
        (!whole && !ReadFileBytes(file, total - kOutputKeptBytes, kOutputKeptBytes, end)))
        ThrowSystemError<RunError>(texts::kCannotReadOutput);
    OutputKeeper keeper;
    keeper.Add(head);
    if (!whole) {
        keeper.Skip(total - 2 * kOutputKeptBytes);
        keeper.Add(end);
    }
    // Console programs write in the OEM code page; the project's own tools
    // and some newer ones write UTF-8.
    keeper.Into(result, [](const std::string& bytes) { return Utf8FromCodePage(bytes, CP_OEMCP); });
}

// A started command: its process, and the file its output goes to.
class RunningCommand : public StartedCommand {
  public:
    RunningCommand(UniqueHandle process, UniqueHandle output)
        : process_(std::move(process)), output_(std::move(output))
    {
    }

    HANDLE Process() const { return process_.Get(); }

    CommandResult Finish()
    {
        CommandResult result;
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(process_.Get(), &exitCode))
            ThrowSystemError<RunError>(texts::kCannotKnowEnd);
        result.exitCode = static_cast<int>(exitCode);
        ReadOutput(output_.Get(), result);
        return result;
    }

  private:
    UniqueHandle process_;
    UniqueHandle output_;
};

} // namespace

std::unique_ptr<StartedCommand> StartCommand(const Command& command)
{
    const std::wstring comspec = Environment(L"ComSpec");
    if (comspec.empty())
        throw CommandNotRun(texts::kNoComSpec);

    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    UniqueHandle output = CreateOutputFile(command.outputFile, inheritable);
    // Reading the empty input gives end of file at once, so a utility that
    // asks a question on its hidden console gets no answer and ends.
    UniqueHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                   0, nullptr));
    if (!input.Valid())
        ThrowSystemError<CommandNotRun>(texts::kCannotPrepareInput);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();

    const std::wstring line = InterpreterLine(comspec, Utf16(command.line));
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    std::vector<wchar_t> environment;
    if (!command.environment.empty())
        environment = EnvironmentBlock(command.environment);
    const std::wstring folder = Utf16(command.workingFolder);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(comspec.c_str(), writable.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, environment.empty() ? nullptr : environment.data(),
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        const SystemError error;
        throw CommandNotStarted(texts::CannotRunInterpreter(Utf8(comspec), command.workingFolder) + ": " +
                                error.Text());
    }
    UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return std::make_unique<RunningCommand>(std::move(process), std::move(output));
}

std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                           std::optional<std::chrono::milliseconds> timeout,
                                           const std::function<void()>& processEvents)
{
    std::vector<HANDLE> processes;
    for (StartedCommand* command : commands)
        processes.push_back(static_cast<RunningCommand*>(command)->Process());
    const auto count = static_cast<DWORD>(processes.size());
    // Timed by the steady clock, not by the system's tick, which lags by up
    // to a tick and would end a wait early. The time left is rounded up, so
    // that no wait wakes just before the end only to wait again for nothing.
    const auto end = std::chrono::steady_clock::now() + timeout.value_or(std::chrono::milliseconds(0));
    for (;;) {
        DWORD wait = INFINITE;
        if (timeout) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            wait = static_cast<DWORD>(std::max<long long>(left.count(), 0));
        }
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(count, processes.data(), wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count)
            return woken - WAIT_OBJECT_0;
        if (woken == WAIT_TIMEOUT)
            return std::nullopt;
        if (woken != WAIT_OBJECT_0 + count)
            ThrowSystemError<RunError>(texts::kCannotWaitForEnd);
        processEvents();
    }
}

CommandResult FinishCommand(StartedCommand& command)
{
    return static_cast<RunningCommand&>(command).Finish();
}
