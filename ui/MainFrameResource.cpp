#include "MainFrameResource.h"

#include "resource.h"

const std::vector<MenuPopupResource>& MainMenuResource()
{
    static const std::vector<MenuPopupResource> menu{
        {"&File", {{"&Refresh\tF5", ID_REFRESH},
                   {"Verify &All", ID_VERIFY_ALL},
                   {"GPIB Device Clear", ID_GPIB_DEVICE_CLEAR},
                   {nullptr, ID_SEPARATOR},
                   {"Export Report", ID_EXPORT_REPORT},
                   {"E&xit", ID_APP_EXIT}}},
        {"&Edit", {{"&Undo\tCtrl+Z", ID_EDIT_UNDO},
                   {nullptr, ID_SEPARATOR},
                   {"Cu&t\tCtrl+X", ID_EDIT_CUT},
                   {"&Copy\tCtrl+C", ID_EDIT_COPY},
                   {"&Paste\tCtrl+V", ID_EDIT_PASTE}}},
        {"&View", {{"&Toolbar", ID_VIEW_TOOLBAR},
                   {"&Status Bar", ID_VIEW_STATUS_BAR}}},
        {"&Help", {{"&About Valdina...", ID_APP_ABOUT}}},
    };
    return menu;
}

const std::vector<AcceleratorResource>& AcceleratorTableResource()
{
    static const std::vector<AcceleratorResource> table{
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_M), ID_POKE},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::Key_F5), ID_REFRESH},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
    };
    return table;
}

const std::vector<unsigned>& ToolbarResource()
{
    static const std::vector<unsigned> buttons{
        ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_SEPARATOR,
        ID_APP_ABOUT, ID_GPIB_DEVICE_CLEAR, ID_SEPARATOR, ID_EXPORT_REPORT,
    };
    return buttons;
}
