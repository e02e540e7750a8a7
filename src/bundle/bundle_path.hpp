#pragma once
// Confining the relative paths of a bundle's metadata to the bundle.
#include <expected>
#include <filesystem>
#include <string_view>

#include "bundle/bundle_error.hpp"

namespace orvel::bundle {

// The root joined with `relative`, which must contain no backslash, must not
// be absolute and must have no ".." component ("." and repeated separators
// are fine). Purely textual: nothing is looked up on disk, symbolic links are
// not followed and nothing is canonicalised. An empty `relative` gives the
// root with a separator appended. Refusal: BundlePathOutside.
std::expected<std::filesystem::path, BundleError> resolve_bundle_path(const std::filesystem::path& root,
                                                                      std::string_view relative,
                                                                      BundleLanguage language);

}  // namespace orvel::bundle
