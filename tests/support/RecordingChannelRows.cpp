#include "RecordingChannelRows.h"

#include "CChannelInfo.h"

void RecordingChannelRows::DeleteAllRows()
{
    rows.clear();
    calls.push_back("DeleteAllRows");
}

int RecordingChannelRows::AddChannelRow(const CChannelInfo& info, int rack, int slot)
{
    Row row;
    row.channel = info.m_nAddress;
    row.image = info.m_nStatus;
    row.texts = {info.StatusText(), info.m_szSerial, std::to_string(info.m_nAddress), std::to_string(rack),
                 std::to_string(slot), ""};
    rows.push_back(row);
    calls.push_back("AddChannelRow " + std::to_string(info.m_nAddress));
    return static_cast<int>(rows.size()) - 1;
}

int RecordingChannelRows::FindChannelRow(int channel)
{
    calls.push_back("FindChannelRow " + std::to_string(channel));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].channel == channel)
            return static_cast<int>(i);
    }
    return -1;
}

void RecordingChannelRows::SetRowText(int row, int column, const std::string& text)
{
    calls.push_back("SetRowText " + std::to_string(row) + " " + std::to_string(column) + " " + text);
    if (row >= 0 && row < static_cast<int>(rows.size()) && column >= 0 && column < kColumnCount)
        rows[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)] = text;
}

void RecordingChannelRows::SetRowImage(int row, int image)
{
    calls.push_back("SetRowImage " + std::to_string(row) + " " + std::to_string(image));
    if (row >= 0 && row < static_cast<int>(rows.size()))
        rows[static_cast<std::size_t>(row)].image = image;
}
