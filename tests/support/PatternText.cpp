#include "support/PatternText.h"

#include "model/NumberText.h"

namespace ostrel {

std::string OstrelText(const std::string& header, const std::function<double(double)>& horizontal,
                       const std::function<double(double)>& vertical, double step,
                       const std::string& lineEnd) {
    std::string text = header;
    const int count = static_cast<int>(360 / step);
    auto section = [&](const char* name, const std::function<double(double)>& level) {
        text += std::string(name) + " " + std::to_string(count) + lineEnd;
        for (int i = 0; i < count; ++i) {
            const double angle = i * step;
            text += FormatGeneral(angle) + "\t" + FormatGeneral(level(angle)) + lineEnd;
        }
    };
    section("HORIZONTAL", horizontal);
    section("VERTICAL", vertical);
    return text;
}

std::string VerizonText(const std::string& header, const std::function<double(int)>& horizontal,
                        const std::function<double(int)>& vertical) {
    std::string text = header + "HORIZONTAL_GAINS\r\n";
    for (int i = 0; i < 360; ++i) {
        text += std::to_string(i) + ".0\t" + FormatGeneral(horizontal(i)) + "\r\n";
    }
    text += "END\r\nVERTICAL_GAINS\r\n";
    for (int k = 0; k < 360; ++k) {
        text += FormatFixed(1, 180.0 - k) + "\t" + FormatGeneral(vertical(k)) + "\r\n";
    }
    text += "END\r\n";
    return text;
}

}  // namespace ostrel

namespace ostrel {

std::string EdxText(int cutCount, const std::function<double(int)>& azimuth,
                    const std::function<double(int, int)>& vertical, int blocksWritten) {
    if (blocksWritten < 0) blocksWritten = cutCount;
    std::string text = "EDX test pattern\r\n";
    for (int a = 0; a < 360; ++a)
        text += std::to_string(a) + ", " + FormatGeneral(azimuth(a)) + "\r\n";
    text += "Vertical cuts\r\n" + std::to_string(cutCount) + ", cuts\r\n";
    for (int c = 0; c < blocksWritten; ++c) {
        text += EdxLabel(c) + "\r\n";
        for (int elevation = 90; elevation >= -90; --elevation) {
            text +=
                std::to_string(elevation) + ",  " + FormatGeneral(vertical(c, elevation)) + "\r\n";
        }
    }
    return text;
}

std::string EdxLabel(int cut) {
    return "AZ " + std::to_string(5 * cut);
}

}  // namespace ostrel
