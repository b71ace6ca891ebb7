#pragma once

#include "model/PlatformServices.h"

namespace ostrel {

// The desktop's clipboard for the core's plain-text tables.
class TQtClipboardService : public TClipboardService {
public:
    void SetText(const std::string& text) override;
};

}  // namespace ostrel
