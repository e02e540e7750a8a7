#pragma once
// Decoding YAML text into typed records.
//
// A record is a plain struct; its description is a specialisation of
// RecordSchema listing its keys in declaration order, each bound to a member
// and given a rule:
//
//   template <>
//   struct io::yaml::RecordSchema<Source> {
//     static constexpr std::string_view name = "Source";
//     static constexpr std::array fields{
//         io::yaml::required<&Source::name>("name"),
//         io::yaml::optional<&Source::note>("note"),
//         io::yaml::defaulted<&Source::strict>("strict"),
//     };
//   };
//
// The kind of a key follows from its member's type: std::string (text),
// std::uint32_t (u32), std::uint64_t (usize), bool (boolean),
// std::optional<std::string> and std::optional<std::uint64_t> (optional text
// and size), std::vector<std::string> (list of texts), std::vector<R> (list
// of records) and R (record), where R has a RecordSchema itself. Members must
// start out empty / zero / false / nullopt: absent optional and defaulted
// keys leave them untouched.
//
// Then io::decode_yaml<Root>(text) returns the decoded root or a YamlError.
// Only the first document of the text is decoded; a second one is an error.
#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "io/yaml_decoder.hpp"
#include "io/yaml_error.hpp"

namespace orvel::io {
namespace yaml {

template <class Record>
struct RecordSchema;  // specialised per record

template <class T, class = void>
struct HasSchema : std::false_type {};
template <class T>
struct HasSchema<T, std::void_t<decltype(RecordSchema<T>::name)>> : std::true_type {};

template <class Record>
constexpr RecordSpec record_spec() {
  return RecordSpec{RecordSchema<Record>::name,
                    std::span<const FieldSpec>(RecordSchema<Record>::fields.data(),
                                               RecordSchema<Record>::fields.size())};
}

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

template <class T>
Status decode_value(Decoder& decoder, const Path& path, T& out);

template <class T>
Status decode_list_item(Decoder& decoder, const Path& path, void* list) {
  auto& items = *static_cast<std::vector<T>*>(list);
  items.emplace_back();
  return decode_value(decoder, path, items.back());
}

template <class T>
Status decode_value(Decoder& decoder, const Path& path, T& out) {
  if constexpr (std::is_same_v<T, std::string>) {
    return decoder.text(path, out);
  } else if constexpr (std::is_same_v<T, bool>) {
    return decoder.boolean(path, out);
  } else if constexpr (std::is_same_v<T, std::uint32_t>) {
    return decoder.u32(path, out);
  } else if constexpr (std::is_same_v<T, std::uint64_t>) {
    return decoder.usize(path, out);
  } else if constexpr (std::is_same_v<T, std::optional<std::string>>) {
    return decoder.optional_text(path, out);
  } else if constexpr (std::is_same_v<T, std::optional<std::uint64_t>>) {
    return decoder.optional_usize(path, out);
  } else if constexpr (IsVector<T>::value) {
    return decoder.list(path, &decode_list_item<typename T::value_type>, &out);
  } else {
    static_assert(HasSchema<T>::value, "a record member needs a RecordSchema");
    return decoder.record(path, record_spec<T>(), &out);
  }
}

template <class M>
struct MemberOf;
template <class C, class T>
struct MemberOf<T C::*> {
  using Class = C;
  using Type = T;
};

template <auto Member>
Status decode_member(Decoder& decoder, const Path& path, void* record) {
  using M = MemberOf<decltype(Member)>;
  return decode_value(decoder, path, static_cast<typename M::Class*>(record)->*Member);
}

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

// R: absent is an error.
template <auto Member>
constexpr FieldSpec required(std::string_view key) {
  static_assert(!IsOptional<typename MemberOf<decltype(Member)>::Type>::value,
                "an optional member takes the optional rule");
  return FieldSpec{key, Rule::Required, &decode_member<Member>};
}

// O: absent, or a null value, gives no value.
template <auto Member>
constexpr FieldSpec optional(std::string_view key) {
  static_assert(IsOptional<typename MemberOf<decltype(Member)>::Type>::value,
                "the optional rule needs a std::optional member");
  return FieldSpec{key, Rule::Optional, &decode_member<Member>};
}

// D: a boolean that is false when absent (a null value is still an error).
template <auto Member>
constexpr FieldSpec defaulted(std::string_view key) {
  static_assert(std::is_same_v<typename MemberOf<decltype(Member)>::Type, bool>,
                "the defaulted rule is for booleans");
  return FieldSpec{key, Rule::DefaultFalse, &decode_member<Member>};
}

}  // namespace yaml

// Decodes the first document of `text` (UTF-8) into a Root record.
template <class Root>
std::expected<Root, YamlError> decode_yaml(std::string_view text) {
  Root root{};
  if (auto status = yaml::decode_document(text, yaml::record_spec<Root>(), &root); !status) {
    return std::unexpected(std::move(status).error());
  }
  return root;
}

}  // namespace orvel::io
