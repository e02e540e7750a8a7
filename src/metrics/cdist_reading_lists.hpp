#pragma once
// Reading a list of texts through a dictionary's reading front, once per
// text, before a matrix is built.
//
// A reading front is any callable taking one text (std::string_view, UTF-8)
// and returning std::expected<Reading, ReadingError>: a Lattice for the
// distance matrices, a ReadingPathSet for the similarity matrices. The
// dictionary methods (metrics/dictionary_methods.hpp) bind the front
// to the dictionary's index and the call's options.
//
// Caller's side: read the queries, then the choices; the first text whose
// reading fails ends the conversion with that error (no error kind is
// skipped), so a failing query wins over a failing choice.
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace orvel {

template <class Front>
using FrontResult = std::invoke_result_t<Front&, std::string_view>;

template <class Front>
std::expected<std::vector<typename FrontResult<Front>::value_type>, typename FrontResult<Front>::error_type>
read_texts(std::span<const std::string> texts, Front&& front) {
  std::vector<typename FrontResult<Front>::value_type> readings;
  readings.reserve(texts.size());
  for (const std::string& text : texts) {
    FrontResult<Front> reading = std::invoke(front, std::string_view(text));
    if (!reading) return std::unexpected(std::move(reading.error()));
    readings.push_back(std::move(*reading));
  }
  return readings;
}

}  // namespace orvel
