#pragma once
// The bitmaps and the icon of the window, drawn from the XPM files in res/.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <vector>

constexpr int kToolbarImageWidth = 16;
constexpr int kToolbarImageHeight = 15;
constexpr int kLampSize = 12;

// Bitmap 128: six 16 x 15 button images side by side, grey background.
QImage ToolbarBitmap();
// The button images with the grey RGB(192,192,192) drawn in `face`.
std::vector<QIcon> ToolbarIcons(const QColor& face);
// Bitmap 130: five 12 x 12 state lamps side by side on RGB(128,128,0).
QImage StateLampBitmap();
// One lamp per channel state, RGB(128,128,0) transparent.
std::vector<QIcon> StateLampIcons();
// Icon 128, 32 x 32 and 16 x 16.
QIcon AppIcon();
