#include "ja/romaji_lattice_reduction.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/lattice_distance.hpp"
#include "ja/query.hpp"
#include "ja/romaji_lattice_fronts.hpp"
#include "ja/segmentation.hpp"
#include "ja/unidic_reading_index.hpp"
#include "../support/lattice_strings.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using Strings = std::set<std::u32string>;

// Every start-to-end string, by walking all paths (small lattices only).
Strings strings_of(const Lattice& lattice) { return test_support::spelt_strings<Strings>(lattice); }

Lattice paths_lattice(const std::vector<std::u32string>& paths) {
  std::vector<SymbolPath> symbols;
  for (const std::u32string& p : paths) symbols.emplace_back(p.begin(), p.end());
  return *Lattice::try_from_symbol_paths(symbols);
}

// What every reduced lattice must satisfy against its input.
void expect_reduction_of(const Lattice& input, const Lattice& reduced) {
  EXPECT_EQ(strings_of(reduced), strings_of(input));
  EXPECT_LE(reduced.node_count(), input.node_count());
  EXPECT_LE(reduced.arcs().size(), input.arcs().size());
  if (reduced.node_count() != input.node_count() || reduced.arcs() != input.arcs()) {
    EXPECT_EQ(reduced.start(), 0u);
    EXPECT_EQ(reduced.end(), reduced.node_count() - 1);
  }
  for (const Arc& arc : reduced.arcs()) EXPECT_LT(arc.src, arc.dst);
}

// All six distance forms over the reduced pair equal those over the inputs,
// for every cutoff from 0 to one past the distance.
void expect_same_distances(const Lattice& a, const Lattice& b, const Lattice& reduced_a, const Lattice& reduced_b) {
  DistanceWorkspace w;
  const std::uint64_t lev = *w.try_distance(a, b);
  const std::uint64_t osa = *w.try_damerau_distance(a, b);
  ASSERT_EQ(*w.try_distance(reduced_a, reduced_b), lev);
  ASSERT_EQ(*w.try_damerau_distance(reduced_a, reduced_b), osa);
  for (std::uint64_t k = 0; k <= std::max(lev, osa) + 1 && k < 64; ++k) {
    ASSERT_EQ(*w.try_distance_with_cutoff(reduced_a, reduced_b, k), *w.try_distance_with_cutoff(a, b, k)) << k;
    ASSERT_EQ(*w.try_damerau_distance_with_cutoff(reduced_a, reduced_b, k),
              *w.try_damerau_distance_with_cutoff(a, b, k))
        << k;
    ASSERT_EQ(*try_within_distance(reduced_a, reduced_b, k), *try_within_distance(a, b, k)) << k;
    ASSERT_EQ(*try_within_damerau_distance(reduced_a, reduced_b, k), *try_within_damerau_distance(a, b, k)) << k;
  }
}

TEST(ReadingLatticeReduction, SmallFixtures) {
  struct Case {
    std::vector<std::u32string> paths;
    std::uint64_t nodes;
    std::uint64_t arcs;
  };
  const std::vector<Case> cases = {
      // Two copies of one reading become one chain.
      {{U"ab", U"ab"}, 3, 2},
      // Different first letters, the same tail: 0 -k,g-> 1 -a-> 2.
      {{U"ka", U"ga"}, 3, 3},
      // One reading a prefix of another: the arc into the inner accepting
      // state is copied to the end (0 -k-> 1 -a-> 2 -a-> 3, and 1 -a-> 3).
      {{U"ka", U"kaa"}, 4, 4},
      {{U"ka", U"kaa", U"kaaa"}, 5, 6},
      // Nothing to share: a single chain stays as it is.
      {{U"toukyou"}, 8, 7},
      // Shared prefix and shared suffix in one lattice.
      {{U"toukyou", U"tokyo", U"toukyo", U"tokyou"}, 8, 9},
  };
  for (const Case& c : cases) {
    const Lattice input = paths_lattice(c.paths);
    const Lattice reduced = reduce_reading_lattice(input);
    SCOPED_TRACE(text::encode_utf8(c.paths.back()));
    expect_reduction_of(input, reduced);
    EXPECT_EQ(reduced.node_count(), c.nodes);
    EXPECT_EQ(reduced.arcs().size(), c.arcs);
  }
}

TEST(ReadingLatticeReduction, LatticesThatStayAsTheyAre) {
  // The one-node lattice of the empty reading.
  const Lattice one = *Lattice::from_edges(1, 0, 0, {});
  EXPECT_EQ(reduce_reading_lattice(one).node_count(), 1u);
  // An end that no path reaches: nothing is spelt, nothing is changed.
  const Lattice unreachable = *Lattice::from_edges(4, 0, 3, {Arc{0, 1, 'a'}, Arc{0, 2, 'a'}, Arc{1, 2, 'b'}});
  const Lattice kept = reduce_reading_lattice(unreachable);
  EXPECT_EQ(kept.node_count(), 4u);
  EXPECT_EQ(kept.arcs(), unreachable.arcs());
}

TEST(ReadingLatticeReduction, AutomatonLargerThanTheLatticeIsNotUsed) {
  // Strings over a, b of up to 6 + 4 letters whose fourth letter from the
  // end is an a: a small lattice, but a deterministic reader must remember
  // the last four letters, so the minimal automaton is larger.
  constexpr std::uint64_t kWait = 6, kTail = 4;
  std::vector<Arc> arcs;
  const std::uint64_t tail = kWait + 1, end = tail + kTail - 1;
  for (std::uint64_t i = 0; i <= kWait; ++i) {
    if (i < kWait) {
      arcs.push_back(Arc{i, i + 1, 'a'});
      arcs.push_back(Arc{i, i + 1, 'b'});
    }
    arcs.push_back(Arc{i, tail, 'a'});
  }
  for (std::uint64_t t = tail; t < end; ++t) {
    arcs.push_back(Arc{t, t + 1, 'a'});
    arcs.push_back(Arc{t, t + 1, 'b'});
  }
  const Lattice input = *Lattice::from_edges(end + 1, 0, end, std::move(arcs));
  const auto minimal = detail::minimal_automaton_lattice(input);
  ASSERT_TRUE(minimal.has_value());
  EXPECT_GT(minimal->node_count(), input.node_count());
  expect_reduction_of(input, reduce_reading_lattice(input));
}

// Random graphs over a two-letter alphabet, with dangling nodes, parallel
// and duplicate arcs, and start or end away from the first or last node.
Lattice random_lattice(std::mt19937& rng) {
  const std::uint64_t n = std::uniform_int_distribution<std::uint64_t>(2, 9)(rng);
  std::bernoulli_distribution keep(0.35);
  std::uniform_int_distribution<int> symbol(0, 2);
  std::vector<Arc> arcs;
  for (std::uint64_t i = 0; i < n; ++i) {
    for (std::uint64_t j = i + 1; j < n; ++j) {
      if (!keep(rng)) continue;
      const int s = symbol(rng);
      if (s != 1) arcs.push_back(Arc{i, j, 'a'});
      if (s != 0) arcs.push_back(Arc{i, j, 'b'});
      if (s == 2 && keep(rng)) arcs.push_back(Arc{i, j, 'b'});
    }
  }
  std::bernoulli_distribution inset(0.2);
  const std::uint64_t start = inset(rng) ? 1 : 0;
  const std::uint64_t end = inset(rng) && n > start + 2 ? n - 2 : n - 1;
  return *Lattice::from_edges(n, start, end, std::move(arcs));
}

// The node count of the minimal automaton: one state per distinct set of
// continuations of a prefix.
std::size_t distinct_residuals(const Strings& strings) {
  std::set<Strings> residuals;
  for (const std::u32string& s : strings) {
    for (std::size_t l = 0; l <= s.size(); ++l) {
      const std::u32string prefix = s.substr(0, l);
      Strings rest;
      for (auto it = strings.lower_bound(prefix); it != strings.end() && it->starts_with(prefix); ++it) {
        rest.insert(it->substr(l));
      }
      residuals.insert(std::move(rest));
    }
  }
  return residuals.size();
}

// Each reduction on its own keeps the strings; the automaton has exactly
// the minimal state count.
void expect_both_reductions_of(const Lattice& input) {
  const Strings strings = strings_of(input);
  const auto merged = detail::merged_lattice(input);
  const auto minimal = detail::minimal_automaton_lattice(input);
  ASSERT_TRUE(merged && minimal);
  EXPECT_EQ(strings_of(*merged), strings);
  EXPECT_EQ(strings_of(*minimal), strings);
  EXPECT_EQ(minimal->node_count(), distinct_residuals(strings));
  EXPECT_LE(merged->node_count(), input.node_count());
}

bool reaches_end(const Lattice& lattice) {
  DistanceWorkspace w;
  return *w.try_distance(lattice, lattice) == 0;
}

TEST(ReadingLatticeReduction, RandomLatticesKeepTheirStringsAndDistances) {
  std::mt19937 rng(20260);
  std::optional<Lattice> previous, previous_reduced;
  for (int round = 0; round < 600; ++round) {
    const Lattice input = random_lattice(rng);
    if (!reaches_end(input)) continue;
    SCOPED_TRACE(round);
    const Lattice reduced = reduce_reading_lattice(input);
    expect_reduction_of(input, reduced);
    if (input.start() != input.end()) expect_both_reductions_of(input);
    if (previous) expect_same_distances(*previous, input, *previous_reduced, reduced);
    previous = input;
    previous_reduced = reduced;
  }
}

std::string random_kana(std::mt19937& rng, std::size_t max_len) {
  static const std::vector<std::string> alphabet = {"か", "し", "ゃ", "ょ", "ん", "ー", "っ", "お", "う",
                                                    "え", "ち", "な", "に", "ア", "ツ", "ぢ", "は"};
  std::uniform_int_distribution<std::size_t> len(1, max_len);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string s;
  for (std::size_t k = len(rng); k > 0; --k) s += alphabet[pick(rng)];
  return s;
}

TEST(ReadingLatticeReduction, RandomReadingListsKeepTheirStringsAndDistances) {
  // Whole readings of a text often share a stem, so some readings extend a
  // common one: the lattice then holds many copies of the same strings.
  std::mt19937 rng(77);
  std::optional<Lattice> previous, previous_reduced;
  int shrunk = 0;
  for (int round = 0; round < 300; ++round) {
    const std::string stem = random_kana(rng, 3);
    std::vector<std::string> readings;
    for (int k = std::uniform_int_distribution<int>(1, 6)(rng); k > 0; --k) {
      readings.push_back(std::bernoulli_distribution(0.5)(rng) ? stem + random_kana(rng, 2) : random_kana(rng, 4));
    }
    auto built = romaji_lattice_from_supported_readings(readings);
    ASSERT_TRUE(built.has_value());
    if (!*built) continue;
    const Lattice& input = **built;
    SCOPED_TRACE(stem);
    const Lattice reduced = reduce_reading_lattice(input);
    expect_reduction_of(input, reduced);
    expect_both_reductions_of(input);
    shrunk += reduced.node_count() < input.node_count();
    if (previous) expect_same_distances(*previous, input, *previous_reduced, reduced);
    previous = input;
    previous_reduced = reduced;
  }
  EXPECT_GT(shrunk, 150);
}

// The builder's lattice of the dictionary segmentations with direct
// stretches, as the query front built it before reducing.
std::optional<Lattice> unreduced_front_lattice(const UnidicReadingIndex& index, std::string_view text) {
  auto paths = reading_paths_with_stats_inner(index, text, DictionaryOptions{}, true);
  if (!paths) return std::nullopt;
  std::vector<std::vector<RomajiSegmentInput>> inputs;
  for (const DictionaryReadingPath& path : *paths) {
    auto& input = inputs.emplace_back();
    path.for_each_segment([&](const DictionaryReadingSegment& segment) {
      input.push_back({segment.reading, segment.direct ? RomajiSegmentMode::Direct : RomajiSegmentMode::Reading});
    });
  }
  auto lattice = romaji_lattice_from_supported_segmented_readings(inputs);
  if (!lattice || !*lattice) return std::nullopt;
  return std::move(**lattice);
}

std::optional<UnidicReadingIndex> load(const std::filesystem::path& path) {
  if (!std::filesystem::exists(path)) return std::nullopt;
  auto loaded = UnidicReadingIndex::from_artifact_payload_path(path);
  if (!loaded) return std::nullopt;
  return std::move(*loaded);
}

TEST(ReadingLatticeReduction, SmallDictionaryLatticesGiveTheSameDistances) {
  const auto index = load(std::filesystem::path(ORVEL_TEST_DATA_DIR) / "unidic/small.yaml");
  ASSERT_TRUE(index.has_value());
  // Mixed kanji, kana and typed romaji, read through the dictionary with
  // direct stretches.
  const std::vector<std::string> texts = {"東京deすし", "明日は天気de", "新しい東京のnihon", "日本語deはなす"};
  std::vector<Lattice> raw, front;
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    auto unreduced = unreduced_front_lattice(*index, text);
    ASSERT_TRUE(unreduced.has_value());
    auto lattice = unidic_or_direct_lattice(text, *index, DictionaryOptions{});
    ASSERT_TRUE(lattice.has_value());
    EXPECT_LT(lattice->node_count(), unreduced->node_count());
    raw.push_back(std::move(*unreduced));
    front.push_back(std::move(*lattice));
  }
  // Unreduced, some of these pairs overflow the distance table; reduced,
  // every pair fits, and where both fit the distances agree.
  int compared = 0, rescued = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = i; j < texts.size(); ++j) {
      SCOPED_TRACE(texts[i] + " / " + texts[j]);
      DistanceWorkspace w;
      const auto lev = w.try_distance(front[i], front[j]);
      ASSERT_TRUE(lev.has_value()) << lev.error().message();
      const std::uint64_t raw_cells = raw[i].node_count() * raw[j].node_count();
      if (raw_cells > 16'000'000) {
        EXPECT_FALSE(w.try_distance(raw[i], raw[j]).has_value());
        ++rescued;
        continue;
      }
      if (raw_cells > 1'000'000) continue;  // fits, but slow to compare in every form
      const auto raw_lev = w.try_distance(raw[i], raw[j]);
      ++compared;
      ASSERT_EQ(*lev, *raw_lev);
      ASSERT_EQ(*w.try_damerau_distance(front[i], front[j]), *w.try_damerau_distance(raw[i], raw[j]));
      for (std::uint64_t k : {std::uint64_t{0}, *lev - 1, *lev, *lev + 1}) {
        ASSERT_EQ(*w.try_distance_with_cutoff(front[i], front[j], k), *w.try_distance_with_cutoff(raw[i], raw[j], k));
        ASSERT_EQ(*w.try_damerau_distance_with_cutoff(front[i], front[j], k),
                  *w.try_damerau_distance_with_cutoff(raw[i], raw[j], k));
        ASSERT_EQ(*try_within_distance(front[i], front[j], k), *try_within_distance(raw[i], raw[j], k));
        ASSERT_EQ(*try_within_damerau_distance(front[i], front[j], k),
                  *try_within_damerau_distance(raw[i], raw[j], k));
      }
    }
  }
  EXPECT_GT(compared, 0);
  EXPECT_GT(rescued, 0);
  // The whole-text reading lattice of a kanji text is reduced as well.
  auto whole = index->romaji_lattice("東京都", DictionaryOptions{});
  auto readings = reading_sequences_with_stats_inner(*index, "東京都", DictionaryOptions{}, false);
  ASSERT_TRUE(whole.has_value() && *whole && readings.has_value());
  auto unreduced = romaji_lattice_from_supported_readings(*readings);
  ASSERT_TRUE(unreduced.has_value() && *unreduced);
  EXPECT_LT((*whole)->node_count(), (*unreduced)->node_count());
  EXPECT_EQ(strings_of(**whole), strings_of(**unreduced));
}

TEST(ReadingLatticeReduction, SampleDictionaryTextsStayUnderTheCellLimit) {
  // The sample dictionary's entries for the surfaces these texts contain.
  const auto index = load(std::filesystem::path(ORVEL_TEST_DATA_DIR) / "unidic/sample-excerpt.yaml");
  ASSERT_TRUE(index);
  // Before reduction each 10-character text's lattice held thousands of
  // nodes, one chain per reading, and the pair overflowed 16,000,000 cells.
  const std::string left = "東京の猫はneko", right = "日本の新聞はdesu";
  auto raw_left = unreduced_front_lattice(*index, left);
  auto raw_right = unreduced_front_lattice(*index, right);
  ASSERT_TRUE(raw_left && raw_right);
  DistanceWorkspace w;
  EXPECT_FALSE(w.try_distance(*raw_left, *raw_right).has_value());

  for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
           {left, right}, {left + left + left + left, right + right + right + right}}) {
    SCOPED_TRACE(a + " / " + b);
    auto la = unidic_or_direct_lattice(a, *index, DictionaryOptions{});
    auto lb = unidic_or_direct_lattice(b, *index, DictionaryOptions{});
    ASSERT_TRUE(la.has_value() && lb.has_value());
    auto lev = w.try_distance(*la, *lb);
    ASSERT_TRUE(lev.has_value()) << lev.error().message();
    EXPECT_GT(*lev, 0u);
    EXPECT_EQ(*w.try_distance(*la, *la), 0u);
    // The cutoff form agrees with the exact one.
    EXPECT_EQ(*w.try_distance_with_cutoff(*la, *lb, *lev), *lev);
    EXPECT_FALSE(w.try_distance_with_cutoff(*la, *lb, *lev - 1)->has_value());
  }
}

}  // namespace
}  // namespace orvel::ja
