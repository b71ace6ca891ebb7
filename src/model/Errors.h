#pragma once

#include <stdexcept>
#include <string>

namespace ostrel {

// The one error type of the program; every reader and list raises a kind of it, so
// loaders can turn any failure into "not loaded" and the inspect tool can show the text.
class EOstrelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index outside a list's bounds.
class EListError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
    static EListError IndexOutOfBounds(long long index);
};

// A text that should be a number but is not.
class EConvertError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

// An arithmetic operation without a defined result, such as 0/0 in an interpolation.
class EInvalidOp : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

// A structural fault of a pattern file (a missing section, a missing "END").
class EFormatError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

// A file that cannot be opened or read.
class EFileError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

// A print job the printer (or the PDF file behind it) refused.
class EPrintError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

}  // namespace ostrel
