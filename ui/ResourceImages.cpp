#include "ResourceImages.h"

#include <QPixmap>

// Resources of a static library are registered by hand.
static void EnsureResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(valdina);
        return true;
    }();
    (void)registered;
}

namespace {
std::vector<QIcon> SliceIcons(QImage strip, int width, QRgb key, QRgb replacement)
{
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            if ((strip.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF))
                strip.setPixel(x, y, replacement);
        }
    }
    std::vector<QIcon> icons;
    for (int x = 0; x + width <= strip.width(); x += width)
        icons.emplace_back(QPixmap::fromImage(strip.copy(x, 0, width, strip.height())));
    return icons;
}
}

QImage ToolbarBitmap()
{
    EnsureResources();
    return QImage(QStringLiteral(":/res/toolbar.xpm"));
}

std::vector<QIcon> ToolbarIcons(const QColor& face)
{
    return SliceIcons(ToolbarBitmap(), kToolbarImageWidth, qRgb(192, 192, 192), face.rgba());
}

QImage StateLampBitmap()
{
    EnsureResources();
    return QImage(QStringLiteral(":/res/lamps.xpm"));
}

std::vector<QIcon> StateLampIcons()
{
    return SliceIcons(StateLampBitmap(), kLampSize, qRgb(128, 128, 0), qRgba(0, 0, 0, 0));
}

QIcon AppIcon()
{
    EnsureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/res/valdina32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/res/valdina16.xpm"), QSize(16, 16));
    return icon;
}
