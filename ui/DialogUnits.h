#pragma once
// Dialog templates keep their geometry in dialog units: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an eighth
// of its height.

class QWidget;

// Converts the geometry of `dialog` and of its direct children, as loaded from the
// template, from dialog units to pixels and fixes the dialog's size.
void MapDialogUnits(QWidget& dialog);
