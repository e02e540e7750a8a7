#include "bundle/bundle_path.hpp"

#include <string>

namespace orvel::bundle {

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
  std::string joined = root.native();
  if (!joined.empty() && !joined.ends_with('/')) joined += '/';
  joined += relative;
  return std::filesystem::path(std::move(joined));
}

}  // namespace orvel::bundle
