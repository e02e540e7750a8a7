#pragma once
// A query-by-choice matrix in one buffer, row after row: cell (i, j) at
// i * cols + j. Filled without the interpreter lock and turned into one
// Python list per row afterwards.
#include <cstddef>
#include <span>
#include <vector>

namespace orvel {

template <class Cell>
struct FlatMatrix {
  std::size_t rows = 0;
  std::size_t cols = 0;
  std::vector<Cell> cells;

  FlatMatrix() = default;
  FlatMatrix(std::size_t r, std::size_t c) : rows(r), cols(c), cells(r * c) {}

  Cell& at(std::size_t i, std::size_t j) { return cells[i * cols + j]; }
  std::span<const Cell> row(std::size_t i) const { return {cells.data() + i * cols, cols}; }
};

}  // namespace orvel
