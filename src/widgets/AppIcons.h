#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <memory>

#include "draw/Drawer.h"

namespace ostrel {

// The program's pictures, drawn in code so that they scale cleanly: the program icon (a
// blue polar radiation pattern, for the window and the about box) and the maker's logo.

// The program icon at one square size in pixels, on a transparent background.
QPixmap ProgramIconPixmap(int size);
// The program icon in the sizes a window and a task bar ask for (16 to 256 pixels).
QIcon ProgramIcon();
// The maker's logo filling `size` (the lobe mark, then the maker's name), transparent.
QPixmap MakerLogo(QSize size);
// The maker's logo as the footer of the printed pages carries it.
std::unique_ptr<TGraphic> LoadLogoGraphic();

// Registers the icon files compiled into the Qt library; call once after the QApplication
// exists (the program, the UI tests and the benchmarks do).
void InitAppResources();

}  // namespace ostrel
