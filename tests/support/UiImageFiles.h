#pragma once

#include <QImage>
#include <string>

namespace ostrel {

// Saves an image that a rendering test drew as PNG under <build folder>/png/, creating
// folders as needed, so that people can look at what the test drew. relativePath is
// relative to that folder ("draw/canvas.png"). Returns the full path written, or an empty
// string when the file could not be written.
std::string SaveTestPng(const QImage& image, const std::string& relativePath);

// The folder the images go to.
std::string TestPngFolder();

}  // namespace ostrel
