#pragma once
// A row of the channel list. It holds its own texts and lamp; its item data is the
// channel number, and its order is the one its list's owner gives.

#include <QTreeWidgetItem>

class IRowOrder;

class CChannelItem : public QTreeWidgetItem {
public:
    CChannelItem(int channel, const IRowOrder& order);
    int Channel() const;
    bool operator<(const QTreeWidgetItem& other) const override;

private:
    const IRowOrder& m_order;
};
