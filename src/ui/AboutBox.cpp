#include "ui/MainWindow.h"

namespace vondrel {

void MainWindow::aboutClicked() {}

}  // namespace vondrel
