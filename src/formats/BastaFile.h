#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// NGMN BASTA "3D radiation pattern" files (BASTA AA white paper 3.0): one JSON object with
// header keys and a Data_Set of rows, each row the columns Data_Set_Row_Structure names.

// Whether the first bytes of a file may be such a file: a JSON object whose text names
// "BASTA_AA_WP_version" or "Data_Set" (a head of a few kilobytes may hold only one of the two
// keys, as the keys may come in any order). Reading the whole file decides.
bool LooksLikeBastaText(std::string_view head);

// The one pattern of a BASTA 3D file: its header, its measured sphere (levelled to 0 dB at
// its highest total level) and the two cuts taken from the sphere. Every key the schema
// requires must be there with its type and, where it has them, one of its values; the rows
// must form a full grid that covers the whole sphere. Raises EFormatError naming the key,
// row or angles that fail. Parses `bytes` in place when its capacity leaves room for the
// parser's padding, else from one padded copy.
std::vector<std::unique_ptr<TPatternData>> MakeBastaPatterns(const std::string& bytes,
                                                             const std::string& fileName);

}  // namespace ostrel
