#pragma once
// A row of the channel list. It holds its own texts and lamp; its item data is the
// channel number, and its order is that of the channel records it stands for.

#include <QTreeWidgetItem>

class CChannelItem : public QTreeWidgetItem {
public:
    explicit CChannelItem(int channel);
    int Channel() const;
    bool operator<(const QTreeWidgetItem& other) const override;
};
