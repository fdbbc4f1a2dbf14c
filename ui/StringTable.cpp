#include "StringTable.h"

#include <map>

#include "resource.h"

namespace {
const std::map<unsigned, const char*> kStrings{
    {IDR_MAINFRAME, "Zentra EEPROM Verify"},
    {AFX_IDS_APP_TITLE, "Zentra EEPROM Verify"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {ID_REFRESH, "Refresh the list of present channels\nRefresh the list of present channels"},
    {ID_VERIFY_ALL, "Verify the EEPROM of all channels\nVerify the EEPROM of all channels"},
    {ID_EXPORT_REPORT, "Write of report of the displayed data\nWrite of report of the displayed data"},
    {ID_GPIB_DEVICE_CLEAR, "Send a GPIB Device Clear\nSend a GPIB Device Clear"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {AFX_IDS_ALLFILTER, "All Files (*.*)"},
    {61184, "Change the window size"},
    {61185, "Change the window position"},
    {61186, "Reduce the window to an icon"},
    {61187, "Enlarge the window to full size"},
    {61190, "Close the active window and prompts to save the documents"},
    {61202, "Restore the window to normal size"},
    {61203, "Activate Task List"},
};
}

QString LoadResString(unsigned id)
{
    const auto it = kStrings.find(id);
    return it == kStrings.end() ? QString() : QString::fromLatin1(it->second);
}

QString CommandPrompt(unsigned id)
{
    return LoadResString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandTooltip(unsigned id)
{
    return LoadResString(id).section(QLatin1Char('\n'), 1, 1);
}
