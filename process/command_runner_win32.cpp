#include "command_runner.h"

#include <vector>

#include "win32_handle.h"
#include "win32_text.h"

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw RunError(what + ": " + SystemErrorText(GetLastError()));
}

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

// The output goes to a temporary file rather than a pipe: a pipe must be
// drained while the command runs, or a talkative command blocks for ever.
UniqueHandle CreateOutputFile(SECURITY_ATTRIBUTES& inheritable)
{
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"vll", 0, name) == 0)
        Fail("No se puede crear el fichero temporal para la salida de la orden");
    UniqueHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        DeleteFileW(name);
        SetLastError(error);
        Fail("No se puede crear el fichero temporal para la salida de la orden");
    }
    return file;
}

std::string ReadAll(HANDLE file)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        Fail("No se puede leer la salida de la orden");
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr))
            Fail("No se puede leer la salida de la orden");
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

bool IsUtf8(const std::string& bytes)
{
    return bytes.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

// Sleeps until the process ends, handling window events as they arrive.
void WaitFor(HANDLE process, const std::function<void()>& processEvents)
{
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return;
        if (woken != WAIT_OBJECT_0 + 1)
            Fail("No se puede esperar a que termine la orden");
        processEvents();
    }
}

} // namespace

CommandResult EjecutaComando(const std::string& command, const std::function<void()>& processEvents)
{
    const std::wstring comspec = Environment(L"ComSpec");
    if (comspec.empty())
        throw RunError("No se puede ejecutar la orden: la variable de entorno ComSpec no está definida");

    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    UniqueHandle output = CreateOutputFile(inheritable);
    // Reading the empty input gives end of file at once, so a utility that
    // asks a question on its hidden console gets no answer and ends.
    UniqueHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                   0, nullptr));
    if (!input.Valid())
        Fail("No se puede preparar la entrada de la orden");

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();

    std::wstring line = InterpreterLine(comspec, Utf16(command));
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(comspec.c_str(), writable.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        Fail("No se puede ejecutar " + Utf8(comspec));
    UniqueHandle process(started.hProcess);
    CloseHandle(started.hThread);
    input.Reset();

    WaitFor(process.Get(), processEvents);

    CommandResult result;
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode))
        Fail("No se puede saber cómo terminó la orden");
    result.exitCode = static_cast<int>(exitCode);
    // Console programs write in the OEM code page; the project's own tools
    // and some newer ones write UTF-8.
    const std::string bytes = ReadAll(output.Get());
    result.output = IsUtf8(bytes) ? bytes : Utf8FromCodePage(bytes, CP_OEMCP);
    return result;
}
