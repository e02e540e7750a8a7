#include "ja/romaji_table.hpp"

#include <array>

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

const RomajiRow* RomajiVariantTable::find(std::string_view kana) {
  for (const RomajiRow& row : kRows) {
    if (row.kana == kana) return &row;
  }
  return nullptr;
}

}  // namespace orvel::ja
