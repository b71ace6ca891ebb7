#include "shell/Branding.h"

namespace ostrel::branding {

const char* ProgramVersion() {
    return OSTREL_VERSION;
}

std::string VersionText() {
    return std::string("Ver. ") + ProgramVersion();
}

}  // namespace ostrel::branding
