#include "ja/romaji_table.hpp"

#include <array>
#include <cstdint>

namespace orvel::ja {

namespace {

using V = std::string_view;

// One variant list per row, in row order.
constexpr V a[] = {"a"}, i[] = {"i"}, u[] = {"u"}, e[] = {"e"}, o[] = {"o"};
constexpr V ka[] = {"ka"}, ki[] = {"ki"}, ku[] = {"ku"}, ke[] = {"ke"}, ko[] = {"ko"};
constexpr V sa[] = {"sa"}, si[] = {"si", "shi", "ci"}, su[] = {"su"}, se[] = {"se"}, so[] = {"so"};
constexpr V ta[] = {"ta"}, ti[] = {"ti", "chi"}, tu[] = {"tu", "tsu"}, te[] = {"te"}, to[] = {"to"};
constexpr V na[] = {"na"}, ni[] = {"ni"}, nu[] = {"nu"}, ne[] = {"ne"}, no[] = {"no"};
constexpr V ha[] = {"ha"}, hi[] = {"hi"}, hu[] = {"hu", "fu"}, he[] = {"he"}, ho[] = {"ho"};
constexpr V ma[] = {"ma"}, mi[] = {"mi"}, mu[] = {"mu"}, me[] = {"me"}, mo[] = {"mo"};
constexpr V ya[] = {"ya"}, yu[] = {"yu"}, yo[] = {"yo"};
constexpr V ra[] = {"ra"}, ri[] = {"ri"}, ru[] = {"ru"}, re[] = {"re"}, ro[] = {"ro"};
constexpr V wa[] = {"wa"}, wo[] = {"wo", "o"}, nn[] = {"n", "nn", "m"};
constexpr V ga[] = {"ga"}, gi[] = {"gi"}, gu[] = {"gu"}, ge[] = {"ge"}, go[] = {"go"};
constexpr V za[] = {"za"}, zi[] = {"zi", "ji"}, zu[] = {"zu"}, ze[] = {"ze"}, zo[] = {"zo"};
constexpr V da[] = {"da"}, di[] = {"di", "ji"}, du[] = {"du", "zu"}, de[] = {"de"}, do_[] = {"do"};
constexpr V ba[] = {"ba"}, bi[] = {"bi"}, bu[] = {"bu"}, be[] = {"be"}, bo[] = {"bo"};
constexpr V pa[] = {"pa"}, pi[] = {"pi"}, pu[] = {"pu"}, pe[] = {"pe"}, po[] = {"po"};
constexpr V vu[] = {"vu"};
constexpr V xa[] = {"xa", "la"}, xi[] = {"xi", "li"}, xu[] = {"xu", "lu"}, xe[] = {"xe", "le"},
            xo[] = {"xo", "lo"};
constexpr V xya[] = {"xya", "lya"}, xyu[] = {"xyu", "lyu"}, xyo[] = {"xyo", "lyo"};
constexpr V xtu[] = {"xtu", "ltu", "ttu"};
constexpr V mark[] = {"-"};
constexpr V kya[] = {"kya"}, kyu[] = {"kyu"}, kyo[] = {"kyo"};
constexpr V sya[] = {"sya", "sha", "cya"}, syu[] = {"syu", "shu", "cyu"}, syo[] = {"syo", "sho", "cyo"};
constexpr V tya[] = {"tya", "cha", "cya"}, tyu[] = {"tyu", "chu", "cyu"}, tyo[] = {"tyo", "cho", "cyo"};
constexpr V nya[] = {"nya"}, nyu[] = {"nyu"}, nyo[] = {"nyo"};
constexpr V hya[] = {"hya"}, hyu[] = {"hyu"}, hyo[] = {"hyo"};
constexpr V mya[] = {"mya"}, myu[] = {"myu"}, myo[] = {"myo"};
constexpr V rya[] = {"rya"}, ryu[] = {"ryu"}, ryo[] = {"ryo"};
constexpr V gya[] = {"gya"}, gyu[] = {"gyu"}, gyo[] = {"gyo"};
constexpr V zya[] = {"zya", "ja", "jya"}, zyu[] = {"zyu", "ju", "jyu"}, zyo[] = {"zyo", "jo", "jyo"};
constexpr V bya[] = {"bya"}, byu[] = {"byu"}, byo[] = {"byo"};
constexpr V pya[] = {"pya"}, pyu[] = {"pyu"}, pyo[] = {"pyo"};

constexpr std::array<RomajiRow, RomajiVariantTable::kRowCount> kRows = {{
    {"あ", a},    {"い", i},    {"う", u},    {"え", e},    {"お", o},
    {"か", ka},   {"き", ki},   {"く", ku},   {"け", ke},   {"こ", ko},
    {"さ", sa},   {"し", si},   {"す", su},   {"せ", se},   {"そ", so},
    {"た", ta},   {"ち", ti},   {"つ", tu},   {"て", te},   {"と", to},
    {"な", na},   {"に", ni},   {"ぬ", nu},   {"ね", ne},   {"の", no},
    {"は", ha},   {"ひ", hi},   {"ふ", hu},   {"へ", he},   {"ほ", ho},
    {"ま", ma},   {"み", mi},   {"む", mu},   {"め", me},   {"も", mo},
    {"や", ya},   {"ゆ", yu},   {"よ", yo},
    {"ら", ra},   {"り", ri},   {"る", ru},   {"れ", re},   {"ろ", ro},
    {"わ", wa},   {"を", wo},   {"ん", nn},
    {"が", ga},   {"ぎ", gi},   {"ぐ", gu},   {"げ", ge},   {"ご", go},
    {"ざ", za},   {"じ", zi},   {"ず", zu},   {"ぜ", ze},   {"ぞ", zo},
    {"だ", da},   {"ぢ", di},   {"づ", du},   {"で", de},   {"ど", do_},
    {"ば", ba},   {"び", bi},   {"ぶ", bu},   {"べ", be},   {"ぼ", bo},
    {"ぱ", pa},   {"ぴ", pi},   {"ぷ", pu},   {"ぺ", pe},   {"ぽ", po},
    {"ゔ", vu},
    {"ぁ", xa},   {"ぃ", xi},   {"ぅ", xu},   {"ぇ", xe},   {"ぉ", xo},
    {"ゃ", xya},  {"ゅ", xyu},  {"ょ", xyo},  {"っ", xtu},  {"ー", mark},
    {"きゃ", kya}, {"きゅ", kyu}, {"きょ", kyo},
    {"しゃ", sya}, {"しゅ", syu}, {"しょ", syo},
    {"ちゃ", tya}, {"ちゅ", tyu}, {"ちょ", tyo},
    {"にゃ", nya}, {"にゅ", nyu}, {"にょ", nyo},
    {"ひゃ", hya}, {"ひゅ", hyu}, {"ひょ", hyo},
    {"みゃ", mya}, {"みゅ", myu}, {"みょ", myo},
    {"りゃ", rya}, {"りゅ", ryu}, {"りょ", ryo},
    {"ぎゃ", gya}, {"ぎゅ", gyu}, {"ぎょ", gyo},
    {"じゃ", zya}, {"じゅ", zyu}, {"じょ", zyo},
    {"びゃ", bya}, {"びゅ", byu}, {"びょ", byo},
    {"ぴゃ", pya}, {"ぴゅ", pyu}, {"ぴょ", pyo},
}};

}  // namespace

std::span<const RomajiRow> RomajiVariantTable::rows() { return kRows; }

namespace {

// Keys are unique, so a direct index by code point finds the same row as a
// search in row order. One slot per character U+3041..U+30FC; a digraph is
// found through its first character and its small ya, yu or yo.
constexpr char32_t kFirstKana = 0x3041;
constexpr char32_t kLastKana = 0x30FC;
constexpr std::size_t kSlots = kLastKana - kFirstKana + 1;

struct RowIndex {
  std::array<std::int16_t, kSlots> single;
  std::array<std::array<std::int16_t, 3>, kSlots> digraph;  // ゃ, ゅ, ょ
};

int small_y_slot(char32_t c) { return c == U'ゃ' ? 0 : c == U'ゅ' ? 1 : c == U'ょ' ? 2 : -1; }

// Decodes a key of one or two characters in U+3041..U+30FC (three bytes
// each); false for anything else.
bool decode_key(std::string_view kana, char32_t& first, char32_t& second, bool& pair) {
  if (kana.size() != 3 && kana.size() != 6) return false;
  char32_t cs[2] = {0, 0};
  for (std::size_t k = 0; k * 3 < kana.size(); ++k) {
    const auto b0 = static_cast<unsigned char>(kana[3 * k]);
    const auto b1 = static_cast<unsigned char>(kana[3 * k + 1]);
    const auto b2 = static_cast<unsigned char>(kana[3 * k + 2]);
    if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return false;
    cs[k] = (char32_t{b0} & 0x0F) << 12 | (char32_t{b1} & 0x3F) << 6 | (char32_t{b2} & 0x3F);
    if (cs[k] < kFirstKana || cs[k] > kLastKana) return false;
  }
  first = cs[0];
  second = cs[1];
  pair = kana.size() == 6;
  return true;
}

const RowIndex& row_index() {
  static const RowIndex index = [] {
    RowIndex built{};
    built.single.fill(-1);
    for (auto& slots : built.digraph) slots.fill(-1);
    for (std::size_t r = 0; r < kRows.size(); ++r) {
      char32_t first = 0, second = 0;
      bool pair = false;
      if (!decode_key(kRows[r].kana, first, second, pair)) continue;
      if (!pair) {
        built.single[first - kFirstKana] = static_cast<std::int16_t>(r);
      } else if (small_y_slot(second) >= 0) {
        built.digraph[first - kFirstKana][small_y_slot(second)] = static_cast<std::int16_t>(r);
      }
    }
    return built;
  }();
  return index;
}

}  // namespace

const RomajiRow* RomajiVariantTable::find(std::string_view kana) {
  char32_t first = 0, second = 0;
  bool pair = false;
  if (!decode_key(kana, first, second, pair)) return nullptr;
  const RowIndex& index = row_index();
  int row = -1;
  if (!pair) {
    row = index.single[first - kFirstKana];
  } else if (const int slot = small_y_slot(second); slot >= 0) {
    row = index.digraph[first - kFirstKana][slot];
  }
  return row < 0 ? nullptr : &kRows[static_cast<std::size_t>(row)];
}

}  // namespace orvel::ja
