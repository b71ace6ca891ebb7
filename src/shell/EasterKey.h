#pragma once

#include <functional>
#include <string>

namespace ostrel {

// Detects a key sequence typed while Alt is held, anywhere in a window that hands it every
// key release. Letter case does not matter; a wrong key starts a new attempt with itself.
class TEasterKey {
public:
    explicit TEasterKey(std::string sequence, std::function<void(TEasterKey&)> onMatch = {});

    // One key release: the key code taken as a character, and whether Alt was held.
    void KeyUp(int keyCode, bool altHeld);

    const std::string& Typed() const { return FTyped; }
    std::function<void(TEasterKey&)> OnMatch;

private:
    std::string FSequence;  // upper case
    std::string FTyped;
};

}  // namespace ostrel
