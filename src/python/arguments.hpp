#pragma once
// Argument binding and conversion for every function and method of the
// module, all of them METH_FASTCALL | METH_KEYWORDS.
//
// A callable describes its parameters once, in a static table:
//
//   constexpr Param kParams[] = {
//       {"left", ArgKind::Text},
//       {"right", ArgKind::Text},
//       {"score_cutoff", ArgKind::Count, Param::KeywordOnly},
//   };
//   constexpr Signature kSignature{"distance", kParams};
//
// and parses its fast-call arguments into an Arguments object:
//
//   BasicArguments<3> a;  // or Arguments, with room for any signature
//   if (!a.parse(kSignature, args, nargs, kwnames)) return nullptr;
//   std::string left, right;
//   if (!a.copy_text(0, left) || !a.copy_text(1, right)) return nullptr;
//   DistanceCutoff cutoff = a.optional_count(2);
//
// Rules:
//   - Positional parameters come first (required ones before optional ones);
//     each may also be passed by keyword. Keyword-only parameters follow and
//     are always optional.
//   - An optional parameter given as None counts as not given, except for
//     the form OptionalNotNone, whose None is converted like any value (and
//     so refused by every kind but Object).
//   - Binding errors (too many positional arguments, unknown keyword, a
//     parameter given twice, a missing required one) raise TypeError.
//   - Conversion runs in parameter order and stops at the first failure:
//     TypeError for a wrong type, OverflowError for an int outside 0..2^64-1.
//   - Text arguments are only type-checked here; copy_text() makes the
//     owned UTF-8 copy that the computation reads once the lock is released.
//     Text lists are copied during conversion.
#include <Python.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::py {

enum class ArgKind : std::uint8_t {
  Text,      // str (or a subclass)
  TextList,  // any sequence but str, every item a str
  Count,     // int in 0..2^64-1, from int, bool or __index__
  Float,     // float, or anything with a float conversion
  Flag,      // bool (True or False only)
  Object,    // the object itself, interpreted by the caller
};

struct Param {
  enum Form : std::uint8_t {
    Required,         // positional-or-keyword, must be given
    Optional,         // positional-or-keyword, may be left out or None
    OptionalNotNone,  // positional-or-keyword, may be left out; None is a value
    KeywordOnly,      // keyword only, may be left out or None
  };

  const char* name;
  ArgKind kind;
  Form form = Required;
};

struct Signature {
  // As it appears in messages: "distance", "JapaneseDictionary.load_bundle".
  const char* function_name;
  std::span<const Param> params;
};

// One parameter's argument once bound and converted.
struct ArgumentSlot {
  PyObject* object = nullptr;  // borrowed from the call
  std::vector<std::string> texts;
  std::uint64_t count = 0;
  double real = 0.0;
};

// Binds and converts into slots (one per parameter, at least as many as the
// signature has); false with a Python exception set.
bool parse_arguments(const Signature& signature, std::span<ArgumentSlot> slots, PyObject* const* args,
                     Py_ssize_t nargs, PyObject* kwnames);

// The UTF-8 copy of a str argument: up to kInline bytes inside the object
// itself (no heap allocation for short texts), longer ones on the heap.
class OwnedText {
 public:
  static constexpr std::size_t kInline = 256;

  OwnedText() = default;
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;

  std::string_view view() const { return {data_, size_}; }
  // Room for `size` bytes, replacing the previous contents.
  char* reserve(std::size_t size) {
    if (size <= kInline) {
      data_ = inline_;
    } else {
      heap_.resize_and_overwrite(size, [](char*, std::size_t n) { return n; });  // filled by the caller
      data_ = heap_.data();
    }
    size_ = size;
    return data_;
  }

 private:
  char inline_[kInline];
  std::string heap_;
  char* data_ = inline_;
  std::size_t size_ = 0;
};

// The arguments of one call, with room for N parameters.
template <std::size_t N>
class BasicArguments {
 public:
  // Binds and converts; false with a Python exception set.
  bool parse(const Signature& signature, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    if (signature.params.size() > N) {
      PyErr_Format(PyExc_SystemError, "%s() has more parameters than Arguments can hold", signature.function_name);
      return false;
    }
    return parse_arguments(signature, slots_, args, nargs, kwnames);
  }

  // Whether parameter i was given (and, for an optional one, is not None).
  bool given(std::size_t i) const { return slots_[i].object != nullptr; }
  // The argument object of parameter i (borrowed; nullptr when not given).
  PyObject* object(std::size_t i) const { return slots_[i].object; }

  // Copies the Text argument i into `out`; false with a Python exception set
  // when the str cannot be encoded as UTF-8.
  bool copy_text(std::size_t i, std::string& out) const;
  bool copy_text(std::size_t i, OwnedText& out) const;
  // Moves the converted TextList argument i out.
  std::vector<std::string> take_texts(std::size_t i) { return std::move(slots_[i].texts); }

  std::uint64_t count(std::size_t i) const { return slots_[i].count; }
  std::optional<std::uint64_t> optional_count(std::size_t i) const {
    return given(i) ? std::optional(slots_[i].count) : std::nullopt;
  }
  double real(std::size_t i) const { return slots_[i].real; }
  std::optional<double> optional_real(std::size_t i) const {
    return given(i) ? std::optional(slots_[i].real) : std::nullopt;
  }
  // Flag argument i: not given, false or true.
  std::optional<bool> optional_flag(std::size_t i) const {
    return given(i) ? std::optional(slots_[i].object == Py_True) : std::nullopt;
  }

 private:
  std::array<ArgumentSlot, N> slots_{};
};

// Room for every signature of the module.
inline constexpr std::size_t kMaxParams = 12;
using Arguments = BasicArguments<kMaxParams>;

// The UTF-8 bytes of a str, encoded from its own storage (no UTF-8 form
// is left cached inside the str); false with a Python exception set.
bool copy_utf8(PyObject* str, std::string& out);
bool copy_utf8(PyObject* str, OwnedText& out);

template <std::size_t N>
bool BasicArguments<N>::copy_text(std::size_t i, std::string& out) const {
  return copy_utf8(slots_[i].object, out);
}
template <std::size_t N>
bool BasicArguments<N>::copy_text(std::size_t i, OwnedText& out) const {
  return copy_utf8(slots_[i].object, out);
}

}  // namespace orvel::py
