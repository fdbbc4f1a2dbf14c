#pragma once
// A channel list that keeps its rows as texts and records every call.

#include <array>
#include <string>
#include <vector>

#include "ChannelColumns.h"
#include "IChannelRows.h"

class RecordingChannelRows final : public IChannelRows {
public:
    struct Row {
        int channel = -1;
        int image = -1;
        std::array<std::string, kColumnCount> texts;
    };

    void DeleteAllRows() override;
    int AddChannelRow(const CChannelInfo& info, int rack, int slot) override;
    int FindChannelRow(int channel) override;
    void SetRowText(int row, int column, const std::string& text) override;
    void SetRowImage(int row, int image) override;

    std::vector<Row> rows;
    std::vector<std::string> calls;   // e.g. "SetRowText 3 0 reading"
};
