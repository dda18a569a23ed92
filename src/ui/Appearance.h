// What the windows share in looks: the action icons, the emblem, and the
// conversion of the program's bitmaps for showing.
#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyle>

class QPushButton;
class QWidget;

namespace bookloom {

class Bitmap;

// An action's icon in three forms: normal, highlighted (under the mouse, or a selected menu
// entry) and disabled. The desktop theme's icon of that name where there is one, otherwise the
// style's standard icon.
QIcon ActionIcon(const char* themeName, QStyle::StandardPixmap standard);

// The program's emblem: an open book, drawn at the given size.
QPixmap Emblem(int size);

// Enter pressed while the button has the focus presses it, and not the dialog's default button:
// Enter on a focused Cancel cancels.
void PressOnEnter(QPushButton& button);

// The bitmap as an image; every pixel format is shown through its colours.
QImage BitmapToImage(const Bitmap& bitmap);

}  // namespace bookloom
