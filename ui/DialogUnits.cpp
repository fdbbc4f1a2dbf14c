#include "DialogUnits.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
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
        int width = mapX(r.width());
        // A substitute for the template's font may run wider: texts are never cut.
        if (qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child))
            width = std::max(width, child->sizeHint().width());
        child->setGeometry(mapX(r.x()), mapY(r.y()), width, mapY(r.height()));
    }
    const QSize size = dialog.size();
    dialog.setFixedSize(mapX(size.width()), mapY(size.height()));
}
