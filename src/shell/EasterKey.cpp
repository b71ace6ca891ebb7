#include "shell/EasterKey.h"
#include "model/AsciiText.h"

namespace ostrel {

namespace {

char UpperKey(int keyCode) {
    return AsciiUpper(static_cast<char>(keyCode & 0xFF));
}

}  // namespace

TEasterKey::TEasterKey(std::string sequence, std::function<void(TEasterKey&)> onMatch)
    : OnMatch(std::move(onMatch)) {
    for (char c : sequence) FSequence += UpperKey(static_cast<unsigned char>(c));
}

void TEasterKey::KeyUp(int keyCode, bool altHeld) {
    if (!altHeld) return;
    const char c = UpperKey(keyCode);
    const std::string extended = FTyped + c;
    if (FSequence.find(extended) != std::string::npos) {
        FTyped = extended;
    } else {
        FTyped = std::string(1, c);
    }
    if (FTyped == FSequence && OnMatch) OnMatch(*this);
}

}  // namespace ostrel
