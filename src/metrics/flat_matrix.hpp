#pragma once
// A query-by-choice matrix in one buffer, row after row: cell (i, j) at
// i * cols + j. Filled without the interpreter lock and turned into one
// Python list per row afterwards. The cells start uninitialised: the
// builders write every one of them.
//
// A large matrix is placed on huge pages where the system offers them:
// touching a fresh buffer page by page costs one page fault per 4 KiB,
// which for a 1,000 x 1,000 matrix rivals the computation itself.
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <span>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orvel {

namespace detail {

struct FreeCells {
  void operator()(void* p) const { std::free(p); }
};

// Uninitialised storage for `bytes` bytes (> 0).
inline void* allocate_cells(std::size_t bytes) {
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  void* p = nullptr;
  if (bytes >= 2 * kHuge) {
    p = std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (p != nullptr) madvise(p, (bytes + kHuge - 1) / kHuge * kHuge, MADV_HUGEPAGE);
#endif
  } else {
    p = std::malloc(bytes);
  }
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace detail

template <class Cell>
class FlatMatrix {
 public:
  FlatMatrix() = default;
  FlatMatrix(std::size_t rows, std::size_t cols)
      : rows_(rows),
        cols_(cols),
        cells_(rows == 0 || cols == 0 ? nullptr : static_cast<Cell*>(detail::allocate_cells(bytes(rows, cols)))) {}

  std::size_t rows() const { return rows_; }
  std::size_t cols() const { return cols_; }
  Cell* row(std::size_t i) { return cells_.get() + i * cols_; }
  std::span<const Cell> row(std::size_t i) const { return {cells_.get() + i * cols_, cols_}; }
  Cell& at(std::size_t i, std::size_t j) { return cells_[i * cols_ + j]; }

 private:
  static std::size_t bytes(std::size_t rows, std::size_t cols) {
    if (rows > std::size_t(-1) / sizeof(Cell) / cols) throw std::bad_alloc();
    return rows * cols * sizeof(Cell);
  }

  std::size_t rows_ = 0;
  std::size_t cols_ = 0;
  std::unique_ptr<Cell[], detail::FreeCells> cells_;
};

}  // namespace orvel
