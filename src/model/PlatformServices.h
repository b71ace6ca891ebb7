#pragma once

#include <string>

namespace ostrel {

// The services of the desktop that the core needs; the window supplies the real ones,
// tests supply fakes.

// Plain-text clipboard.
class TClipboardService {
public:
    virtual ~TClipboardService() = default;
    virtual void SetText(const std::string& text) = 0;
};

// Opening a file in a plain-text editor. Reports nothing; a failure is silent.
class TEditorService {
public:
    virtual ~TEditorService() = default;
    virtual void OpenInTextEditor(const std::string& filePath) = 0;
};

}  // namespace ostrel
