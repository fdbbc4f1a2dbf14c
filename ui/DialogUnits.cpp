#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

void MapDialogUnits(QWidget& dialog)
{
    const QFontMetrics metrics(dialog.font());
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (letters / 26 + 1) / 2;
    const int baseY = metrics.height();
    const auto mapX = [baseX](int x) { return x * baseX / 4; };
    const auto mapY = [baseY](int y) { return y * baseY / 8; };

    for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect r = child->geometry();
        child->setGeometry(mapX(r.x()), mapY(r.y()), mapX(r.width()), mapY(r.height()));
    }
    const QSize size = dialog.size();
    dialog.setFixedSize(mapX(size.width()), mapY(size.height()));
}
