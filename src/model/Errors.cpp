#include "model/Errors.h"

namespace ostrel {

EListError EListError::IndexOutOfBounds(long long index) {
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace ostrel
