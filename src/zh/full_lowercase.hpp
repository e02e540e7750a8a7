#pragma once
// Default full Unicode lowercase mapping (context-sensitive: final sigma,
// U+0130 to "i" plus U+0307).
#include <string>
#include <string_view>

namespace orvel::zh {

std::string full_lowercase(std::string_view valid_utf8);

}  // namespace orvel::zh
