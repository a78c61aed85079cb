#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "message_box_answerer.h"
#include "system_helpers.h"
#include "win32_text.h"
#include "window_fixture.h"

namespace {

std::string DriveSuffix(char letter)
{
    return std::string(" (") + letter + ":)";
}

// Makes a folder the process's current one and puts the old one back.
class ScopedCurrentFolder {
  public:
    explicit ScopedCurrentFolder(const std::string& folder) : old_(GetCurrentDirectoryW(0, nullptr), L'\0')
    {
        old_.resize(GetCurrentDirectoryW(static_cast<DWORD>(old_.size()), old_.data()));
        SetCurrentDirectoryW(Utf16(folder).c_str());
    }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;
    ~ScopedCurrentFolder() { SetCurrentDirectoryW(old_.c_str()); }

  private:
    std::wstring old_;
};

// A drive letter nothing can be read from, like a card reader without its
// card: it names a folder that does not exist.
class UnreadableDrive {
  public:
    UnreadableDrive()
    {
        const std::bitset<26> present(GetLogicalDrives());
        for (letter_ = 'Y'; present[static_cast<std::size_t>(letter_ - 'A')]; --letter_) {
        }
        DefineDosDeviceW(0, Name().c_str(), kTarget);
    }
    UnreadableDrive(const UnreadableDrive&) = delete;
    UnreadableDrive& operator=(const UnreadableDrive&) = delete;
    ~UnreadableDrive() { DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, Name().c_str(), kTarget); }

    char Letter() const { return letter_; }

  private:
    static constexpr const wchar_t* kTarget = L"C:\\vaciallena unidad sin soporte";
    std::wstring Name() const { return {static_cast<wchar_t>(letter_), L':'}; }
    char letter_;
};

// The picker in a window opened with the process in a folder tree of the
// test's own; the controls are driven with the messages a user's clicks send.
class DirectoryPickerTest : public MainWindowFixture {
  protected:
    TempFolder tree{"vaciallena carpetas ñ"};
    std::string datos = tree.Make("datos korvane á");
    ScopedCurrentFolder current{tree.Path()};
    SystemWithListsIn system{tree.Path()};

    void SetUp() override
    {
        for (const char* name : {"zeta", "Álamo", "beta", "oculta", "sistema", "datos korvane á\\copia 2",
                                 "datos korvane á\\Bases ñ"})
            tree.Make(name);
        // Hidden folders are listed; Windows' own, hidden and system, are not.
        SetFileAttributesW(Utf16(JoinPath(tree.Path(), "oculta")).c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW(Utf16(JoinPath(tree.Path(), "sistema")).c_str(),
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        OpenWindow(system, [] {});
    }

    bool PickerShown() const { return IsWindowVisible(Hwnd(kIdFrame3)) != FALSE; }
    std::string TreeName() const { return tree.Path().substr(tree.Path().rfind('\\') + 1); }

    // The lines of the folder list Dir1 or of the drive list Drive1.
    std::vector<std::string> Items(ControlId id) const
    {
        const bool dir1 = id == kIdDir1;
        const auto count = static_cast<WPARAM>(SendMessageW(Hwnd(id), dir1 ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
        std::vector<std::string> items;
        wchar_t text[2048];
        for (WPARAM i = 0; i < count; ++i) {
            SendMessageW(Hwnd(id), dir1 ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(Utf8(text));
        }
        return items;
    }

    std::string Chosen(ControlId id) const
    {
        const LRESULT chosen = SendMessageW(Hwnd(id), id == kIdDir1 ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
        return Items(id).at(static_cast<std::size_t>(chosen));
    }

    // The last lines of the folder list: the current folder and what it holds.
    std::vector<std::string> Dir1Tail(std::size_t count) const
    {
        const std::vector<std::string> items = Items(kIdDir1);
        return {items.end() - static_cast<std::ptrdiff_t>(std::min(count, items.size())), items.end()};
    }

    // Selects a line and tells the window as the user's click would.
    void Select(ControlId id, std::ptrdiff_t index, int notification)
    {
        SendMessageW(Hwnd(id), id == kIdDir1 ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(Hwnd(id)), WM_COMMAND, MAKEWPARAM(id, notification),
                     reinterpret_cast<LPARAM>(Hwnd(id)));
    }

    void Highlight(const std::string& line, int notification = LBN_SELCHANGE)
    {
        const std::vector<std::string> items = Items(kIdDir1);
        const auto found = std::find(items.begin(), items.end(), line);
        ASSERT_NE(found, items.end()) << line;
        Select(kIdDir1, found - items.begin(), notification);
    }
    void Open(const std::string& line) { Highlight(line, LBN_DBLCLK); }

    void ChooseDrive(char letter)
    {
        const std::vector<std::string> items = Items(kIdDrive1);
        const auto found = std::find_if(items.begin(), items.end(),
                                        [&](const std::string& item) { return item.ends_with(DriveSuffix(letter)); });
        ASSERT_NE(found, items.end()) << letter;
        Select(kIdDrive1, found - items.begin(), CBN_SELCHANGE);
    }
};

TEST_F(DirectoryPickerTest, StartsHiddenAtTheProcesssFolderAndShowsOverAPanelThatStaysUsable)
{
    EXPECT_FALSE(PickerShown());
    EXPECT_FALSE(window->CampoRuta.has_value());
    EXPECT_EQ(Caption(kIdText3), tree.Path());
    EXPECT_EQ(Items(kIdDir1).front(), tree.Path().substr(0, 3));
    EXPECT_EQ(Dir1Tail(6), (std::vector<std::string>{TreeName(), "Álamo", "beta", "datos korvane á", "oculta", "zeta"}));
    EXPECT_EQ(Chosen(kIdDir1), TreeName());
    EXPECT_TRUE(GetWindowLongW(Hwnd(kIdText3), GWL_STYLE) & ES_READONLY);

    Click(kIdBuscar4);
    EXPECT_TRUE(PickerShown());
    EXPECT_EQ(window->CampoRuta, 4);
    EXPECT_EQ(GetFocus(), Hwnd(kIdDir1));
    for (ControlId id : {kIdFrame1, kIdText4, kIdBuscar4, kIdAceptar, kIdCancelar})
        EXPECT_TRUE(IsWindowEnabled(Hwnd(id))) << id;
}

TEST_F(DirectoryPickerTest, SeleccionFillsTheButtonsFieldWithTheOpenedFolderEvenWhenDisabled)
{
    Click(kIdCheck2);
    Click(kIdCheck3);
    const std::vector<std::pair<ControlId, std::string>> buttons = {
        {kIdBuscar, "zeta"}, {kIdBuscar1, "beta"}, {kIdBuscar2, "Álamo"}, {kIdBuscar3, "oculta"}};
    for (const auto& [button, folder] : buttons) {
        Click(button);
        Open(TreeName());
        Open(folder);
        EXPECT_EQ(Caption(kIdText3), JoinPath(tree.Path(), folder));
        Click(kIdSeleccion);
        EXPECT_FALSE(PickerShown());
        EXPECT_EQ(GetFocus(), Hwnd(button));
    }
    // Carga ticked then cleared: Text4 is locked, its button is not.
    Click(kIdCheck3);
    ASSERT_FALSE(IsWindowEnabled(Hwnd(kIdText4)));
    Click(kIdBuscar4);
    Open(TreeName());
    Open("datos korvane á");
    EXPECT_EQ(Dir1Tail(3), (std::vector<std::string>{"datos korvane á", "Bases ñ", "copia 2"}));
    Click(kIdSeleccion);

    EXPECT_EQ(Caption(kIdText1), JoinPath(tree.Path(), "zeta"));
    EXPECT_EQ(Caption(kIdText5), JoinPath(tree.Path(), "beta"));
    EXPECT_EQ(Caption(kIdText2), JoinPath(tree.Path(), "Álamo"));
    EXPECT_EQ(Caption(kIdText6), JoinPath(tree.Path(), "oculta"));
    EXPECT_EQ(Caption(kIdText4), datos);
}

TEST_F(DirectoryPickerTest, ASingleClickOnlyHighlightsADoubleClickOrEnterOpens)
{
    Click(kIdBuscar4);
    Highlight("beta");
    EXPECT_EQ(Caption(kIdText3), tree.Path());
    EXPECT_EQ(Dir1Tail(1), std::vector<std::string>{"zeta"});
    Click(kIdSeleccion);
    EXPECT_EQ(Caption(kIdText4), tree.Path());

    Click(kIdBuscar4);
    Highlight("datos korvane á");
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    window->DoEvents();
    EXPECT_EQ(Caption(kIdText3), datos);
    EXPECT_EQ(Chosen(kIdDir1), "datos korvane á");
    EXPECT_TRUE(PickerShown());
}

TEST_F(DirectoryPickerTest, ParentsGoUpAndOnlyADrivesRootEndsWithABackslash)
{
    Click(kIdBuscar4);
    const std::string parent = tree.Path().substr(0, tree.Path().rfind('\\'));
    const std::string parentName = parent.substr(parent.rfind('\\') + 1);
    Open(parentName);
    EXPECT_EQ(Caption(kIdText3), parent);
    EXPECT_EQ(Chosen(kIdDir1), parentName);

    const std::string root = tree.Path().substr(0, 3);
    ASSERT_TRUE(root.ends_with(":\\"));
    Open(root);
    EXPECT_EQ(Caption(kIdText3), root);
    EXPECT_EQ(Items(kIdDir1).front(), root);
    EXPECT_EQ(Chosen(kIdDir1), root);
    Click(kIdSeleccion);
    EXPECT_EQ(Caption(kIdText4), root);
}

TEST_F(DirectoryPickerTest, CancelarFillsNothingAndThePickerReopensWhereItWasLeft)
{
    Click(kIdBuscar4);
    Open("datos korvane á");
    Highlight("copia 2");
    const std::vector<std::string> lines = Items(kIdDir1);
    const std::string drive = Chosen(kIdDrive1);
    Click(kIdCancelar1);
    EXPECT_FALSE(PickerShown());
    EXPECT_EQ(Caption(kIdText4), "");
    EXPECT_EQ(window->CampoRuta, 4);
    EXPECT_EQ(GetFocus(), Hwnd(kIdBuscar4));

    Click(kIdBuscar4);
    EXPECT_EQ(Items(kIdDir1), lines);
    EXPECT_EQ(Chosen(kIdDir1), "copia 2");
    EXPECT_EQ(Chosen(kIdDrive1), drive);
    EXPECT_EQ(Caption(kIdText3), datos);

    // Another folder button while the picker is shown only changes the field.
    Click(kIdCheck2);
    SetFocus(Hwnd(kIdBuscar));
    Click(kIdBuscar);
    EXPECT_EQ(window->CampoRuta, 0);
    EXPECT_TRUE(PickerShown());
    EXPECT_EQ(GetFocus(), Hwnd(kIdBuscar));
    Click(kIdSeleccion);
    EXPECT_EQ(Caption(kIdText1), datos);
    EXPECT_EQ(Caption(kIdText4), "");
}

TEST_F(DirectoryPickerTest, EveryDriveIsListedAndChoosingOneShowsItsCurrentFolder)
{
    const std::vector<std::string> drives = Items(kIdDrive1);
    EXPECT_EQ(drives.size(), std::bitset<26>(GetLogicalDrives()).count());
    // Wine's drives have no label.
    for (const char* drive : {"Disco local (C:)", "Disco local (Z:)"})
        EXPECT_EQ(std::count(drives.begin(), drives.end(), drive), 1) << drive;
    const char home = tree.Path()[0];
    EXPECT_EQ(Chosen(kIdDrive1), "Disco local" + DriveSuffix(home));

    // Choosing the drive the list shows changes nothing ...
    Click(kIdBuscar4);
    Open("datos korvane á");
    ChooseDrive(home);
    EXPECT_EQ(Caption(kIdText3), datos);
    // ... away from the process's current folder a drive opens at its root ...
    const char other = home == 'Z' ? 'C' : 'Z';
    SetEnvironmentVariableW((std::wstring(L"=") + static_cast<wchar_t>(other) + L":").c_str(), nullptr);
    ChooseDrive(other);
    const std::string root = std::string(1, other) + ":\\";
    EXPECT_EQ(Caption(kIdText3), root);
    EXPECT_EQ(Items(kIdDir1).front(), root);
    // ... and on its drive, at that folder.
    ChooseDrive(home);
    EXPECT_EQ(Caption(kIdText3), tree.Path());
    EXPECT_EQ(Chosen(kIdDir1), TreeName());
}

TEST_F(DirectoryPickerTest, AnUnreadableDriveOrAVanishedFolderChangesNothingAndSaysNothing)
{
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDOK; });
    UnreadableDrive unreadable;
    const std::string home = Chosen(kIdDrive1);
    ASSERT_EQ(Items(kIdDrive1).size() + 1, std::bitset<26>(GetLogicalDrives()).count());
    // A drive that appeared since the list was filled shows when it drops down.
    SendMessageW(GetParent(Hwnd(kIdDrive1)), WM_COMMAND, MAKEWPARAM(kIdDrive1, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(Hwnd(kIdDrive1)));
    EXPECT_EQ(Items(kIdDrive1).size(), std::bitset<26>(GetLogicalDrives()).count());
    EXPECT_EQ(Chosen(kIdDrive1), home);

    Click(kIdBuscar4);
    Open("datos korvane á");
    const std::vector<std::string> lines = Items(kIdDir1);
    ChooseDrive(unreadable.Letter());
    EXPECT_EQ(Chosen(kIdDrive1), "Unidad" + DriveSuffix(unreadable.Letter()));
    EXPECT_EQ(Items(kIdDir1), lines);
    EXPECT_EQ(Caption(kIdText3), datos);

    RemoveDirectoryW(Utf16(JoinPath(datos, "copia 2")).c_str());
    Open("copia 2");
    EXPECT_EQ(Items(kIdDir1), lines);
    EXPECT_EQ(Caption(kIdText3), datos);
    Click(kIdSeleccion);
    EXPECT_EQ(Caption(kIdText4), datos);
    EXPECT_TRUE(answerer.boxes.empty());
}

TEST_F(DirectoryPickerTest, FoldersBeyondMaxPathAreListedAndOpened)
{
    const std::string name = "carpeta con un nombre bastante largo para pasar del límite ñ";
    std::string deep = datos;
    std::vector<std::string> steps;
    while (Utf16(deep).size() <= MAX_PATH) {
        deep = JoinPath(deep, name + std::to_string(steps.size()));
        steps.push_back(name + std::to_string(steps.size()));
        ASSERT_TRUE(CreateDirectoryW(Utf16("\\\\?\\" + deep).c_str(), nullptr)) << deep;
    }
    ASSERT_TRUE(CreateDirectoryW(Utf16("\\\\?\\" + JoinPath(deep, "hoja")).c_str(), nullptr));

    Click(kIdBuscar4);
    Open("datos korvane á");
    for (const std::string& step : steps)
        Open(step);
    EXPECT_EQ(Caption(kIdText3), deep);
    EXPECT_EQ(Dir1Tail(2), (std::vector<std::string>{steps.back(), "hoja"}));
    Open("hoja");
    Click(kIdSeleccion);
    EXPECT_EQ(Caption(kIdText4), JoinPath(deep, "hoja"));
}

} // namespace
