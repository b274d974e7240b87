// The program's own pictures, drawn with QPainter so that every size comes out sharp and no
// picture file has to travel with the program.
#pragma once

#include <QIcon>
#include <QImage>

// The toolbar's pictures in ToolBarImageList order: OpenFileToolBtn, OpenDocuToolBtn,
// DeleteToolBtn, DeleteListToolBtn, SaveToolBtn, HashSelToolBtn, CalculateToolBtn.
enum class ToolPicture {
    AddFile,
    AddFolder,
    DeleteFile,
    ClearList,
    Save,
    ChooseAlgorithms,
    Calculate
};
inline constexpr int kToolPictureCount = 7;

// The menu bar's pictures.
enum class MenuPicture {
    AddFile,
    AddFolder,
    Save,
    Quit,
    HomePage
};

// The window icon at any size (24-bit colour on a transparent ground).
QImage DrawWindowIcon(int size);
QIcon WindowIcon();

QImage DrawToolPicture(ToolPicture picture, int size = 32);
QImage DrawMenuPicture(MenuPicture picture, int size = 16);
QIcon ToolIcon(ToolPicture picture);
QIcon MenuIcon(MenuPicture picture);
