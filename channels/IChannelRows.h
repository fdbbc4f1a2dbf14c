#pragma once
// The channel list as the scan and the verify pass see it. A row index of -1
// stands for no row; operations on it change nothing.

#include <string>

class CChannelInfo;

class IChannelRows {
public:
    virtual ~IChannelRows() = default;
    virtual void DeleteAllRows() = 0;
    virtual int AddChannelRow(const CChannelInfo& info, int rack, int slot) = 0;
    virtual int FindChannelRow(int channel) = 0;
    virtual void SetRowText(int row, int column, const std::string& text) = 0;
    virtual void SetRowImage(int row, int image) = 0;
};

// For front ends without a list (the command line).
class CNoChannelRows final : public IChannelRows {
public:
    void DeleteAllRows() override {}
    int AddChannelRow(const CChannelInfo&, int, int) override { return -1; }
    int FindChannelRow(int) override { return -1; }
    void SetRowText(int, int, const std::string&) override {}
    void SetRowImage(int, int) override {}
};
