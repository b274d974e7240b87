// Writes the window icon as a PNG of the given size, for the desktop entry.
#include "ui/Pictures.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE FILE.png\n", argv[0]);
        return 2;
    }
    QGuiApplication application(argc, argv);
    const int size = std::atoi(argv[1]);
    if (size < 8 || size > 1024) {
        std::fprintf(stderr, "%s: size %s is not between 8 and 1024\n", argv[0], argv[1]);
        return 2;
    }
    if (!DrawWindowIcon(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
