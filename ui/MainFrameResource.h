#pragma once
// Menu 128, accelerator table 128 and toolbar 128 of the main window.

#include <QKeySequence>
#include <vector>

struct MenuItemResource {
    const char* text;   // nullptr: separator
    unsigned id;
};

struct MenuPopupResource {
    const char* title;
    std::vector<MenuItemResource> items;
};

struct AcceleratorResource {
    QKeySequence keys;
    unsigned id;
};

const std::vector<MenuPopupResource>& MainMenuResource();
const std::vector<AcceleratorResource>& AcceleratorTableResource();
// Button command IDs in order; ID_SEPARATOR marks a gap. The n-th button takes the
// n-th image of the toolbar bitmap.
const std::vector<unsigned>& ToolbarResource();
