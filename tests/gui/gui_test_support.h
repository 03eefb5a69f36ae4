// Helpers of the window tests: acting on a modal window from inside its event loop.
#pragma once

#include <QWidget>
#include <functional>

namespace quillo::test {

// Runs action on the next modal window as soon as it is shown (checked every 10 ms). A modal
// window that the action leaves open is closed after about five seconds, so a failing test
// cannot hang.
void WhenModal(std::function<void(QWidget* modal)> action);

// Clicks the child button of that object name of a window.
void ClickChild(QWidget* window, const char* objectName);

}  // namespace quillo::test
