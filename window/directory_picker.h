#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "control_ids.h"
#include "folder_path.h"
#include "gdi_handles.h"

// The folder picker: Frame3 over the main panel, with the drive list Drive1,
// the folder list Dir1, Text3 showing Dir1's folder, and the buttons
// "Selección" and "Cancelar". It knows nothing of the fields it serves: the
// window that owns it says when to show it, and hears which folder was chosen.
class DirectoryPicker {
  public:
    // controls holds the picker's controls, already created. chosen gets the
    // folder of "Selección"; focusBack is called when the picker is hidden
    // while it had the keyboard focus, for the owner to place it.
    DirectoryPicker(const std::map<ControlId, HWND>& controls, std::function<void(const std::string&)> chosen,
                    std::function<void()> focusBack);
    DirectoryPicker(const DirectoryPicker&) = delete;
    DirectoryPicker& operator=(const DirectoryPicker&) = delete;

    bool Shown() const;
    void Show();
    // Dir1's current folder.
    const std::string& CurrentFolder() const { return dir1Path_; }
    void LayOut(int dpi, HFONT font);

    // The events of its controls, as the window hears them.
    void FillDrive1();
    void Drive1_Change();
    // A double click or Enter on a line of Dir1.
    void OpenDir1Entry();
    void Seleccion_Click();
    void Cancelar1_Click();
    void DrawItem(const DRAWITEMSTRUCT& item) const;

  private:
    void Dir1_Change();
    void Hide();
    // False, and nothing changed, when the folder cannot be read.
    bool MoveDir1(const std::string& folder);
    void ShowDir1(const std::string& folder, const std::vector<std::string>& subFolders);

    HWND frame3_;
    HWND drive1_;
    HWND dir1_;
    HWND text3_;
    std::function<void(const std::string&)> chosen_;
    std::function<void()> focusBack_;
    struct Drive {
        char letter;
        std::string caption;
        UniqueIcon icon;
    };
    std::vector<Drive> drives_;
    // The drive Drive1 shows: the one chosen last, even when Dir1 could not
    // move there.
    char drive1Letter_ = '\0';
    // Dir1's current folder, kept here: the process's own current folder
    // never changes.
    std::string dir1Path_;
    std::vector<FolderEntry> dir1Entries_;
    UniqueIcon openFolderIcon_;
    UniqueIcon closedFolderIcon_;
    int iconSize_ = 16;
};
