#pragma once
// The typed-pinyin normal forms of every suffix of one typed-pinyin run,
// computed once for the run and shared: each suffix's form is a view into
// one buffer, so a long run costs linear time and memory instead of one
// normalised copy per start position.
//
// This works because normalize_direct_pinyin_input acts per character except
// for "u:" -> "v", and "u:" pairs cannot overlap: a suffix's form is the
// run's form from the matching point, except that a suffix starting at the
// ":" of a pair begins with that ":" instead of the pair's "v".
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::zh {

class TypedPinyinSuffixes {
 public:
  struct Form {
    bool colon_lead = false;  // the form is ":" followed by `rest`
    std::string_view rest;    // a view into the shared buffer
  };

  // `run` is the run's UTF-8 text; every character should be a direct-pinyin
  // character (any valid UTF-8 gives the same result as the plain function).
  explicit TypedPinyinSuffixes(std::string_view run);
  TypedPinyinSuffixes(const TypedPinyinSuffixes&) = delete;
  TypedPinyinSuffixes& operator=(const TypedPinyinSuffixes&) = delete;

  // Number of characters of the run.
  std::size_t size() const { return forms_.size(); }
  // The normal form of the suffix starting at character k (k < size()).
  const Form& form(std::size_t k) const { return forms_[k]; }
  // The same, as one string.
  std::string text(std::size_t k) const;

 private:
  std::string normal_;
  std::vector<Form> forms_;
};

}  // namespace orvel::zh
