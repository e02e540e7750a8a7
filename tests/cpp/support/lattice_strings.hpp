#pragma once
// Test helper: every start-to-end string of a small lattice, found by walking
// all its paths (one string per path, so a multiset shows repeated readings).

#include <cstdint>
#include <string>
#include <type_traits>

#include "core/lattice.hpp"
#include "text/utf8.hpp"

namespace orvel::test_support {

// `Strings` is a set or multiset of std::string (UTF-8) or std::u32string.
template <class Strings>
Strings spelt_strings(const Lattice& lattice) {
  using Text = typename Strings::value_type;
  Strings out;
  Text prefix;
  auto walk = [&](auto&& self, std::uint64_t node) -> void {
    if (node == lattice.end()) out.insert(prefix);
    for (const ArcEnd& next : lattice.outgoing_ends(node)) {
      const std::size_t size = prefix.size();
      if constexpr (std::is_same_v<Text, std::string>) {
        text::append_utf8(prefix, static_cast<char32_t>(next.symbol));
      } else {
        prefix.push_back(static_cast<char32_t>(next.symbol));
      }
      self(self, next.node);
      prefix.resize(size);
    }
  };
  walk(walk, lattice.start());
  return out;
}

}  // namespace orvel::test_support
