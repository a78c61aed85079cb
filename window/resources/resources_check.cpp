// Checks the program's resources as Windows reads them from a linked program:
// the version resource against the project version given on the command line,
// each icon image pixel by pixel against the text art it was drawn from, and
// the manifest. Prints every mismatch; exits 1 if there was any.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gdi_handles.h"
#include "resource_ids.h"

namespace {

int failures = 0;

void check(bool ok, const std::wstring& what) {
    if (!ok) {
        ++failures;
        std::fwprintf(stderr, L"FAILED: %ls\n", what.c_str());
    }
}

std::string resource_text(const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(nullptr, name, type);
    if (found == nullptr)
        return {};
    const void* data = LockResource(LoadResource(nullptr, found));
    return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

// ---- version

std::wstring version_string(const std::vector<char>& info, const std::wstring& name) {
    const std::wstring path = L"\\StringFileInfo\\0C0A04B0\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0)
        return L"(missing)";
    return static_cast<const wchar_t*>(value);
}

void check_version(const std::wstring& expected) {
    unsigned major = 0, minor = 0, patch = 0;
    check(std::swscanf(expected.c_str(), L"%u.%u.%u", &major, &minor, &patch) == 3,
          L"the expected version '" + expected + L"' is MAJOR.MINOR.PATCH");

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(self, nullptr);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(self, 0, size, info.data())) {
        check(false, L"the program has a version resource");
        return;
    }

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        const DWORD high = MAKELONG(minor, major), low = MAKELONG(0, patch);
        check(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low, L"FILEVERSION is " + expected + L".0");
        check(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low,
              L"PRODUCTVERSION is " + expected + L".0");
        check(fixed->dwFileType == VFT_APP, L"the file type is an application");
    } else {
        check(false, L"the version resource has its fixed part");
    }

    if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        const auto* translation = static_cast<const WORD*>(value);
        check(translation[0] == 0x0C0A && translation[1] == 1200, L"the translation is Spanish, UTF-16");
    } else {
        check(false, L"the version resource has a translation");
    }

    check(version_string(info, L"FileVersion") == expected,
          L"FileVersion is " + expected + L", not " + version_string(info, L"FileVersion"));
    check(version_string(info, L"ProductVersion") == expected,
          L"ProductVersion is " + expected + L", not " + version_string(info, L"ProductVersion"));
    check(version_string(info, L"ProductName") == L"Vaciallena", L"ProductName");
    check(version_string(info, L"OriginalFilename") == L"vaciallena.exe", L"OriginalFilename");
    check(version_string(info, L"FileDescription") == L"Descarga - Carga de una Base de Datos Progress",
          L"FileDescription");
    // The resource script is UTF-8: a wrong code page turns the sign into two
    // characters.
    const std::wstring copyright = version_string(info, L"LegalCopyright");
    check(copyright.rfind(L"\u00A9 2026 ", 0) == 0, L"LegalCopyright starts with the sign and the year: " + copyright);
}

// ---- icons

struct Art {
    int bits = 0;
    std::map<char, DWORD> colour;  // 0xRRGGBB, as a 32-bit DIB holds it
    std::string transparent;
    std::vector<std::string> rows;
};

// Read here independently of draw_icons, so that both cannot share a mistake.
Art read_art(const wchar_t* name) {
    std::istringstream in(resource_text(name, RT_RCDATA));
    Art art;
    bool in_picture = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        if (in_picture) {
            if (!line.empty())
                art.rows.push_back(line);
        } else if (line.empty()) {
            in_picture = true;
        } else {
            std::istringstream words(line);
            std::string key, value;
            words >> key >> value;
            if (key == "bits")
                art.bits = std::stoi(value);
            else if (value == "none")
                art.transparent += key[0];
            else
                art.colour[key[0]] = static_cast<DWORD>(std::stoul(value, nullptr, 16));
        }
    }
    return art;
}

struct Image {
    int icon;
    const wchar_t* art;
    int width, height, bits;
};

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// What the icon's directory says it holds, as "WxH@bits" sorted as stored.
std::vector<std::wstring> directory(int icon) {
    const std::string group = resource_text(MAKEINTRESOURCEW(icon), RT_GROUP_ICON);
    std::vector<std::wstring> images;
    if (group.size() < 6)
        return images;
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(GroupEntry) <= group.size(); ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof(GroupEntry), sizeof entry);
        images.push_back(std::to_wstring(entry.width) + L"x" + std::to_wstring(entry.height) + L"@" +
                         std::to_wstring(entry.bits));
    }
    return images;
}

// Draws the icon on magenta, which none of the pictures use, and compares it
// with the art: transparent pixels must show the magenta, the others their colour.
void check_image(const Image& image) {
    const std::wstring label = std::wstring(image.art) + L": ";
    const Art art = read_art(image.art);
    bool shape = art.bits == image.bits && static_cast<int>(art.rows.size()) == image.height;
    for (const std::string& row : art.rows)
        shape = shape && static_cast<int>(row.size()) == image.width;
    check(shape, label + L"the art is " + std::to_wstring(image.width) + L" x " + std::to_wstring(image.height) +
                     L" at " + std::to_wstring(image.bits) + L" bits");
    if (!shape)
        return;

    const UniqueIcon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image.icon),
                                                        IMAGE_ICON, image.width, image.height, 0)));
    if (!icon.Valid()) {
        check(false, label + L"the icon loads");
        return;
    }
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = image.width;
    format.bmiHeader.biHeight = -image.height;  // top row first, as in the art
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const UniqueBitmap canvas(CreateDIBSection(dc.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc.Valid() || !canvas.Valid()) {
        check(false, label + L"a canvas to draw the icon on");
        return;
    }
    const UniqueSelection selected = Select(dc.Get(), canvas.Get());
    const DWORD magenta = 0xFF00FF;
    auto* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + image.width * image.height, magenta);
    check(DrawIconEx(dc.Get(), 0, 0, icon.Get(), image.width, image.height, 0, nullptr, DI_NORMAL) != FALSE,
          label + L"the icon draws");
    GdiFlush();

    int wrong = 0;
    std::wstring first;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const char pixel = art.rows[y][x];
            const bool clear = art.transparent.find(pixel) != std::string::npos;
            const DWORD want = clear ? magenta : art.colour.at(pixel);
            const DWORD got = pixels[y * image.width + x] & 0xFFFFFF;
            if (got != want && wrong++ == 0) {
                wchar_t text[96];
                std::swprintf(text, 96, L"pixel (%d, %d) '%c' is %06lX, not %06lX", x, y, pixel,
                              static_cast<unsigned long>(got), static_cast<unsigned long>(want));
                first = text;
            }
        }
    }
    check(wrong == 0, label + std::to_wstring(wrong) + L" pixels differ from the art; first " + first);
}

void check_icons() {
    const Image images[] = {
        {IDI_VACIALLENA, L"VACIALLENA_32X28", 32, 28, 8},
        {IDI_VACIALLENA, L"VACIALLENA_16X16", 16, 16, 8},
        {IDI_FOLDER, L"FOLDER_16X16", 16, 16, 4},
    };
    check(directory(IDI_VACIALLENA) == std::vector<std::wstring>{L"32x28@8", L"16x16@8"},
          L"IDI_VACIALLENA holds a 32 x 28 and a 16 x 16 image of 256 colours");
    check(directory(IDI_FOLDER) == std::vector<std::wstring>{L"16x16@4"},
          L"IDI_FOLDER holds one 16 x 16 image of 16 colours");
    for (const Image& image : images)
        check_image(image);
}

// ---- manifest

void check_manifest() {
    const std::string manifest = resource_text(MAKEINTRESOURCEW(1), RT_MANIFEST);
    check(!manifest.empty(), L"the program has a manifest");
    for (const char* wanted : {"Microsoft.Windows.Common-Controls", "PerMonitorV2", "asInvoker"})
        check(manifest.find(wanted) != std::string::npos,
              L"the manifest names " + std::wstring(wanted, wanted + std::strlen(wanted)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: resources_check PROJECT_VERSION\n");
        return 2;
    }
    check_version(argv[1]);
    check_icons();
    check_manifest();
    if (failures != 0)
        return 1;
    std::wprintf(L"Version, icons and manifest are as they should be.\n");
    return 0;
}
