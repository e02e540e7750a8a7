// orvel_indexed_payload ja|zh PAYLOAD.yaml OUT
//
// Converts a YAML reading-index payload into the indexed payload of its
// language ("ORVELI01" for Japanese, "ORVELZ01" for Chinese) with the
// project's own writers, reloads what it wrote and checks that the reloaded
// index has the same entries and canonical checksum, then prints what a
// bundle's metadata needs, one "key value" line each:
//   entries <count>
//   sha256-canonical-v1 <hex>
//   pinyin_view <tone3|no-tone>        (Chinese only)
// Exit status 0 on success, 1 with a message on standard error otherwise.
#include <fmt/format.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace {

constexpr std::string_view kChecksum = "sha256-canonical-v1";

int fail(const std::string& message) {
  fmt::print(stderr, "orvel_indexed_payload: {}\n", message);
  return 1;
}

// Compares the reloaded index with the source and prints the summary.
template <class Index>
int check_and_report(const Index& source, const Index& reloaded) {
  const auto expected = source.artifact_payload_checksum_for_algorithm(kChecksum);
  const auto actual = reloaded.artifact_payload_checksum_for_algorithm(kChecksum);
  if (!expected || !actual || *expected != *actual || source.entry_count() != reloaded.entry_count()) {
    return fail("the written payload does not reload to the same index");
  }
  fmt::print("entries {}\n{} {}\n", reloaded.entry_count(), kChecksum, *actual);
  return 0;
}

int write_bytes(const std::string& out, const std::vector<std::uint8_t>& bytes) {
  if (auto written = orvel::ja::write_payload_file(out, bytes); !written) {
    return fail(fmt::format("cannot write {}: {}", out, written.error().message()));
  }
  return 0;
}

int japanese(const std::string& in, const std::string& out) {
  using orvel::ja::UnidicReadingIndex;
  auto source = UnidicReadingIndex::from_artifact_payload_path(in);
  if (!source) return fail(source.error().message());
  std::vector<std::uint8_t> bytes = orvel::ja::unidic_indexed_payload_bytes(*source);
  if (int status = write_bytes(out, bytes); status != 0) return status;
  auto reloaded = UnidicReadingIndex::from_indexed_owned_bytes(std::move(bytes));
  if (!reloaded) return fail(reloaded.error().message());
  return check_and_report(*source, *reloaded);
}

int chinese(const std::string& in, const std::string& out) {
  using orvel::zh::CedictReadingIndex;
  auto source = CedictReadingIndex::from_artifact_payload_path(in);
  if (!source) return fail(source.error().message());
  std::vector<std::uint8_t> bytes = orvel::zh::zh_indexed_payload_bytes(*source);
  if (int status = write_bytes(out, bytes); status != 0) return status;
  auto reloaded = CedictReadingIndex::from_indexed_owned_bytes(std::move(bytes));
  if (!reloaded) return fail(reloaded.error().message());
  if (reloaded->pinyin_view() != source->pinyin_view()) return fail("the written payload changed the pinyin view");
  if (int status = check_and_report(*source, *reloaded); status != 0) return status;
  fmt::print("pinyin_view {}\n", reloaded->pinyin_view());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return fail("usage: orvel_indexed_payload ja|zh PAYLOAD.yaml OUT");
  const std::string_view language = argv[1];
  if (language == "ja") return japanese(argv[2], argv[3]);
  if (language == "zh") return chinese(argv[2], argv[3]);
  return fail(fmt::format("unknown language {} (expected ja or zh)", language));
}
