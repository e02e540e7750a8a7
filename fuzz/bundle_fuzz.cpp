// Bundle loading end to end: the input becomes a bundle directory and goes
// through the bundle library, payload format dispatch included. Any bundle loads or gives a BundleError; a bundle that loads
// passes the index checks.
//
// Input: a flags byte (bit 0: Chinese, else Japanese; bit 1: name the
// metadata file rather than its directory), the metadata text up to the
// first NUL byte, then the payload bytes, written to payload/readings.idx
// beside the metadata and a LICENSE file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "bundle/bundle_loader.hpp"
#include "index_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const std::uint8_t flags = in.byte();
  const std::string_view metadata = in.until(0);
  const std::string_view payload = in.rest();

  static const std::filesystem::path dir = [] {
    auto d = orvel::fuzz::scratch_dir() / "bundle";
    std::filesystem::create_directories(d / "payload");
    orvel::fuzz::write_file(d / "LICENSE", "licence text\n");
    return d;
  }();
  orvel::fuzz::write_file(dir / "metadata.yaml", metadata);
  orvel::fuzz::write_file(dir / "payload" / "readings.idx", payload);
  const std::filesystem::path target = (flags & 2u) != 0 ? dir / "metadata.yaml" : dir;

  if ((flags & 1u) == 0) {
    auto bundle = orvel::bundle::load_unidic_bundle(target, std::nullopt);
    if (!bundle) {
      ORVEL_FUZZ_CHECK(!bundle.error().message().empty());
      orvel::fuzz::note(bundle.error().debug());
      return 0;
    }
    orvel::fuzz::note("loaded");
    orvel::fuzz::check_unidic_index(bundle->index);
  } else {
    auto bundle = orvel::bundle::load_zh_bundle(target, std::nullopt);
    if (!bundle) {
      ORVEL_FUZZ_CHECK(!bundle.error().message().empty());
      orvel::fuzz::note(bundle.error().debug());
      return 0;
    }
    orvel::fuzz::note("loaded");
    ORVEL_FUZZ_CHECK(bundle->pinyin_view == bundle->index.pinyin_view());
    orvel::fuzz::check_zh_index(bundle->index);
  }
  return 0;
}
