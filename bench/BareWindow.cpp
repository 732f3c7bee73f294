// A bare Qt window of the main window's size, shown, painted, saved as a picture and closed:
// what any Qt program pays from its start to its first painted window. Start-up timings of
// the program are compared with this one's.
//
//   vondrel-bare-window FILE     (as `vondrel --game-dir DIR --screenshot FILE`; the picture
//                                takes the format FILE ends in)

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vondrel-bare-window FILE\n");
        return 2;
    }
    QWidget window;
    // The main window's client size: 8730 x 5325 twips at 15 twips to the pixel.
    window.setFixedSize(582, 355);
    window.show();
    QApplication::processEvents();
    // The format the file name ends in, as the program's --screenshot writes it.
    return window.grab().save(QString::fromLocal8Bit(argv[1]), nullptr, 80) ? 0 : 1;
}
