#pragma once
// Confining the relative paths of a bundle's metadata to the bundle.
#include <expected>
#include <filesystem>
#include <string_view>

#include "bundle/bundle_error.hpp"

namespace orvel::bundle {

// The root joined with `relative`, which must contain no backslash, must not
// be absolute, must have no ".." component ("." and repeated separators are
// fine); these textual checks come first. A path holding a NUL (which the
// system would read only up to it) is refused as BundlePathWithNul. Then the
// joined path, with every symbolic link along it followed, must still lie
// inside the root (its links followed too), so that no link leads a file of
// the bundle outside it. The returned path is the textual join, not the
// resolved one. An empty `relative` gives the root with a separator
// appended. Other refusals: BundlePathOutside.
std::expected<std::filesystem::path, BundleError> resolve_bundle_path(const std::filesystem::path& root,
                                                                      std::string_view relative,
                                                                      BundleLanguage language);

}  // namespace orvel::bundle
