#pragma once
// The order of the channel list's rows, as the list's owner sorts it.

class IRowOrder {
public:
    virtual ~IRowOrder() = default;
    // Negative, zero or positive as channel A's row goes before, with or after B's.
    virtual int CompareRows(int channelA, int channelB) const = 0;
};
