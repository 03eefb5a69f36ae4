// The shared picture list of the message boxes, by number: the OK, Cancel and third button
// glyphs and the information and warning icons (see MsgPicture in shell/seams.h).
#pragma once

#include <QPixmap>
#include <QString>

namespace quillo {

// The picture of that number drawn at size x size pixels; a null pixmap for kNoPicture or a
// number the list does not hold.
QPixmap MsgPicturePixmap(int number, int size);

// The short name of a picture, used as the tooltip of its button ("OK", "Cancel", ...).
QString MsgPictureName(int number);

}  // namespace quillo
