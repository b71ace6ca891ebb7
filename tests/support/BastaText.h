#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ostrel {

// A BASTA 3D JSON text for tests: every required key with a plain value, the keys in order,
// each value as JSON text so that tests can break any of them.
struct TBastaText {
    std::vector<std::pair<std::string, std::string>> Keys;

    // Replaces a key's value (or adds the key); Remove drops it.
    void Set(const std::string& key, const std::string& json);
    void Remove(const std::string& key);
    std::string Text() const;
};

// One sample: its file angles and the values of the row's level columns.
using TBastaLevels = std::function<std::vector<double>(double thetaDeg, double phiDeg)>;

// A whole file in `system` ("SPCS_CW", ...) sampled at `thetas` x `phis`. `columns` names
// the level columns `levels` gives. Explicit rows lead with Theta and Phi and are shuffled
// with `seed`; otherwise the sampling is [first, step, last] of equally spaced angles.
TBastaText BastaSphere(const std::string& system, const std::vector<double>& thetas,
                       const std::vector<double>& phis, const std::vector<std::string>& columns,
                       const TBastaLevels& levels, bool explicitRows, unsigned seed = 1);

// first, first + step, ..., last.
std::vector<double> Steps(double first, double last, double step);

}  // namespace ostrel
