// The pictures of the practice window: the board icons, the toolbar glyphs, the three pictures of
// the size button, the menu pictures and the buttons of the sentence player and the exit dialog.
// All are drawn, at any size.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillo {

enum class PracticeIcon {
  // The board.
  User,    // icon 10: the logged-in user
  Clock,   // icon 7: the elapsed time
  Status,  // icon 9: the status text
  Sheet,   // icon 8: the result name
  // The toolbar.
  Exit,
  Photo,
  SizeNormal,     // picture 22
  SizeEnlarged,   // picture 21
  SizeMaximised,  // picture 23
  Next,
  Previous,
  TopCaret,
  GoToEmptyOrWrong,
  Check,
  Log,
  Keyboard,
  // The menu.
  Generate,
  FollowUp,
  Start,
  Quit,
  // The sentence player.
  Play,
  EyesClosed,  // picture 0: the sentence is hidden
  EyesOpen,    // picture 1: the sentence is shown
  Close,
};

QPixmap PracticePixmap(PracticeIcon icon, int size);
QIcon PracticeIconOf(PracticeIcon icon, int size = 24);

}  // namespace quillo
