#include "bundle/bundle_path.hpp"

#include <string>
#include <system_error>

namespace orvel::bundle {
namespace {

// Whether every component of `root` begins `path` (both absolute, without
// "." or ".." components).
bool starts_with_components(const std::filesystem::path& path, const std::filesystem::path& root) {
  auto p = path.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++p) {
    // A trailing separator shows as a last empty component.
    if (r->empty() && std::next(r) == root.end()) return true;
    if (p == path.end() || *p != *r) return false;
  }
  return true;
}

// Whether `joined` (the root joined with a relative path that passed the
// textual checks) resolves, symbolic links followed, to a place outside the
// resolved root. Where a path cannot be resolved (a loop, a directory that
// may not be searched) the file cannot be opened through it either, so it
// is let through for its open to fail with the system's error.
bool escapes_through_links(const std::filesystem::path& root, const std::filesystem::path& joined) {
  // Both absolute first: the part of a path that does not exist is kept as
  // written, so a relative one would stay relative.
  std::error_code ec;
  const std::filesystem::path absolute_root = std::filesystem::absolute(root.empty() ? "." : root, ec);
  if (ec) return false;
  const std::filesystem::path absolute_path = std::filesystem::absolute(joined.empty() ? "." : joined, ec);
  if (ec) return false;
  const std::filesystem::path real_root = std::filesystem::weakly_canonical(absolute_root, ec);
  if (ec) return false;
  const std::filesystem::path real = std::filesystem::weakly_canonical(absolute_path, ec);
  if (ec) return false;
  return !starts_with_components(real, real_root);
}

}  // namespace

std::expected<std::filesystem::path, BundleError> resolve_bundle_path(const std::filesystem::path& root,
                                                                      std::string_view relative,
                                                                      BundleLanguage language) {
  auto refuse = [&] { return std::unexpected(BundleError::bundle_path_outside(language, std::string(relative))); };
  if (relative.find('\\') != std::string_view::npos) return refuse();
  if (relative.starts_with('/')) return refuse();
  for (std::size_t start = 0; start <= relative.size();) {
    std::size_t end = relative.find('/', start);
    if (end == std::string_view::npos) end = relative.size();
    if (relative.substr(start, end - start) == "..") return refuse();
    start = end + 1;
  }
  // The system reads a path only up to its first NUL: what follows would be
  // checked here but never opened.
  if (relative.find('\0') != std::string_view::npos) {
    return std::unexpected(BundleError::bundle_path_with_nul(language, std::string(relative)));
  }
  std::string joined = root.native();
  if (!joined.empty() && !joined.ends_with('/')) joined += '/';
  joined += relative;
  std::filesystem::path resolved(std::move(joined));
  if (escapes_through_links(root, resolved)) return refuse();
  return resolved;
}

}  // namespace orvel::bundle
