#include "ui/MainWindow.h"

namespace vondrel {

inline constexpr const char* kHelpFile = "VDL.chm";

void MainWindow::helpClicked() {
    if (helpOpener_) helpOpener_->open(kHelpFile, "0");
}

}  // namespace vondrel
