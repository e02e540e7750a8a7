"""Pairwise methods of the dictionary classes: readings, cutoffs and the order of errors."""

import math

import pytest

import _orvel
from reference import osa
from test_dictionary_fixtures import JA_UNREADABLE, ZH_UNREADABLE, dictionary, ja, limit_message, zh  # noqa: F401

# (left, right, distance, why)
JA_PAIRS = [
    ("東京", "とうきょう", 0, "東京 reads トウキョウ = toukyou, as the hiragana does"),
    ("東京", "トウキョウ", 0, "the stored katakana itself"),
    ("東京", "toukyou", 0, "typed romaji"),
    ("東京", "tokyo", 2, "toukyou without its two u"),
    ("とうきょう", "tokyo", 2, "the same through the kana front"),
    ("日本", "にほん", 0, "ニホン, the second of three readings"),
    ("日本", "nippon", 0, "ニッポン, the third"),
    ("日本", "nipon", 0, "ニポン, the first"),
    ("日本", "nihona", 1, "nihon plus a letter (nn would be ん itself)"),
    ("私は東京に行く", "わたしはとうきょうにいく", 0, "a sentence read word by word"),
]

# 北京 bei3jing1, 重庆 chong2qing4, 行 hang2 / heng2 / xing2; typed pinyin keeps
# its tone digits, so toneless input is as many edits away as it lacks digits.
ZH_PAIRS = [
    ("北京", "bei3jing1", 0, "the stored reading typed"),
    ("北京", "beijing", 2, "two tone digits missing"),
    ("北京", "Beijing", 2, "typed pinyin is lower-cased"),
    ("重庆", "chong2qing4", 0, "the stored reading"),
    ("重庆", "chongqing", 2, "two tone digits missing"),
    ("行", "xing2", 0, "one of three readings of 行"),
    ("行", "hang2", 0, "another"),
    ("行", "heng", 1, "heng2 less its digit"),
    ("银行", "yin2hang2", 0, "the word's own reading"),
]


@pytest.mark.parametrize("left, right, expected, why", JA_PAIRS)
def test_japanese_pairs(ja, left, right, expected, why):
    d = ja.distance(left, right)
    assert d == expected, why
    assert ja.distance(right, left) == expected
    assert ja.within_distance(left, right, expected) and not (expected and ja.within_distance(left, right, expected - 1))


@pytest.mark.parametrize("left, right, expected, why", ZH_PAIRS)
def test_chinese_pairs(zh, left, right, expected, why):
    assert zh.distance(left, right) == expected, why
    assert zh.within_damerau_distance(left, right, expected)


def test_similarity_of_real_pairs(ja, zh):
    assert ja.normalized_similarity("東京", "tokyo") == pytest.approx(1 - 2 / 7)
    assert ja.normalized_distance("東京", "tokyo") == pytest.approx(2 / 7)
    assert zh.normalized_similarity("北京", "beijing") == pytest.approx(1 - 2 / 9)
    assert zh.normalized_similarity("重庆", "chongqing") == pytest.approx(1 - 2 / 11)
    # 日本 is at least as close to each of its readings as to any other text
    assert ja.normalized_similarity("日本", "にっぽん") == 1.0


def test_combined_distance_takes_the_closer_of_text_and_readings(ja, zh):
    # x東 reads as x + tou (東 alone): four edits from toukyou, but as texts
    # 東京 and x東 are two edits apart.
    assert ja.distance("東京", "x東") == 4
    assert ja.combined_distance("東京", "x東") == 2 == osa("東京", "x東")
    assert ja.combined_distance("東京", "とうきょう") == 0
    assert zh.combined_distance("北京", "beijing") == 2
    assert ja.combined_distance("東京", "x東", score_cutoff=1) == 2
    assert ja.combined_distance("東京", "x東", score_cutoff=2) == 2


TEXTS = {
    "ja": ["東京", "とうきょう", "tokyo", "日本", "にほんご", "京都", "", "a", "先生"],
    "zh": ["北京", "bei3jing1", "beijing", "重庆", "银行", "行", "长城", "中国"],
}


def texts_of(dictionary):
    return TEXTS["ja" if isinstance(dictionary, _orvel.JapaneseDictionary) else "zh"]


def test_methods_agree_with_each_other(dictionary):
    texts = texts_of(dictionary)
    for left in texts:
        for right in texts:
            d = dictionary.distance(left, right)
            dd = dictionary.damerau_distance(left, right)
            assert dd <= d
            assert dictionary.combined_distance(left, right) == min(osa(left, right), d)
            for t in {0, d - 1, d, d + 1} - {-1}:
                assert dictionary.within_distance(left, right, t) == (d <= t)
                assert dictionary.within_damerau_distance(left, right, t) == (dd <= t)
            s = dictionary.normalized_similarity(left, right)
            assert dictionary.ratio(left, right) == s
            assert dictionary.normalized_distance(left, right) == 1.0 - s
            assert (s == 1.0) == (d == 0)


def test_integer_cutoff(dictionary):
    left, right = texts_of(dictionary)[0], texts_of(dictionary)[2]
    d = dictionary.distance(left, right)
    assert d > 0
    for method in (dictionary.distance, dictionary.damerau_distance, dictionary.combined_distance):
        exact = method(left, right)
        assert method(left, right, score_cutoff=exact) == exact
        assert method(left, right, score_cutoff=exact - 1) == exact
        assert method(left, right, score_cutoff=0) == 1
        assert method(left, right, score_cutoff=2**62) == exact
    assert dictionary.distance(left, right, score_cutoff=2**64 - 1) == d
    assert dictionary.distance(left, right, score_cutoff=True) == min(d, 2)


def test_combined_cutoff_rule(dictionary):
    for bad in (True, False, 1.5, "1", 2**63):
        with pytest.raises(TypeError, match="^score_cutoff must be an int for distance metrics$"):
            dictionary.combined_distance("a", "b", score_cutoff=bad)
    with pytest.raises(ValueError, match="^score_cutoff must be >= 0 for distance metrics$"):
        dictionary.combined_distance("a", "b", score_cutoff=-1)
    assert dictionary.combined_distance("a", "b", score_cutoff=2**63 - 1) == dictionary.combined_distance("a", "b")
    with pytest.raises(OverflowError):
        dictionary.distance("a", "b", score_cutoff=-1)
    with pytest.raises(TypeError):
        dictionary.damerau_distance("a", "b", score_cutoff=1.0)


def test_float_cutoff_rule(dictionary):
    left, right = texts_of(dictionary)[0], texts_of(dictionary)[2]
    s = dictionary.normalized_similarity(left, right)
    assert 0.0 < s < 1.0
    assert dictionary.normalized_similarity(left, right, score_cutoff=s) == s
    assert dictionary.normalized_similarity(left, right, score_cutoff=math.nextafter(s, 1.0)) == 0.0
    assert dictionary.normalized_similarity(left, right, score_cutoff=0.0) == s
    assert dictionary.ratio(left, right, score_cutoff=1) == 0.0
    d = 1.0 - s
    assert dictionary.normalized_distance(left, right, score_cutoff=d) == d
    assert dictionary.normalized_distance(left, right, score_cutoff=math.nextafter(d, 0.0)) == 1.0
    assert dictionary.normalized_distance(left, right, score_cutoff=1.0) == d
    for bad in (1.5, -0.1, math.nan, 2):
        for method in (dictionary.normalized_similarity, dictionary.normalized_distance, dictionary.ratio):
            with pytest.raises(ValueError, match=r"^score_cutoff must be between 0\.0 and 1\.0$"):
                method(left, right, score_cutoff=bad)


def unreadable(dictionary):
    return "😀"


def test_reading_errors(dictionary):
    bad = unreadable(dictionary)
    expected = JA_UNREADABLE if isinstance(dictionary, _orvel.JapaneseDictionary) else ZH_UNREADABLE
    for method in (dictionary.distance, dictionary.damerau_distance, dictionary.combined_distance,
                   dictionary.normalized_similarity, dictionary.normalized_distance, dictionary.ratio):
        with pytest.raises(ValueError, match=expected):
            method(bad, texts_of(dictionary)[0])
    with pytest.raises(ValueError, match=expected):
        dictionary.within_distance(texts_of(dictionary)[0], bad, 3)


def test_left_reading_error_wins(ja, zh):
    with pytest.raises(ValueError, match="'😀'"):
        ja.distance("😀", "Ω")
    with pytest.raises(ValueError, match="'Ω'"):
        ja.normalized_similarity("Ω", "😀")
    with pytest.raises(ValueError, match='"😀"'):
        zh.distance("😀", "Ω")
    # the empty text is readable in Japanese, not in Chinese
    assert ja.distance("", "") == 0
    with pytest.raises(ValueError, match='unsupported direct pinyin input ""'):
        zh.distance("", "北京")


def test_validation_order(dictionary):
    bad = unreadable(dictionary)
    # conversion before the merge: the int cutoff's conversion error wins
    with pytest.raises(TypeError):
        dictionary.distance("a", "b", max_paths=20000, score_cutoff="x")
    # the combined form checks its own cutoff before the merge
    with pytest.raises(TypeError, match="score_cutoff must be an int"):
        dictionary.combined_distance("a", "b", max_paths=20000, score_cutoff="x")
    with pytest.raises(ValueError, match=">= 0"):
        dictionary.combined_distance(bad, "b", max_paths=20000, score_cutoff=-5)
    # the limits before any reading
    for call in (lambda: dictionary.distance(bad, bad, max_span_chars=257),
                 lambda: dictionary.normalized_similarity(bad, bad, max_span_chars=257, score_cutoff=7.0)):
        with pytest.raises(ValueError) as raised:
            call()
        assert str(raised.value) == limit_message(dictionary, "max_span_chars", 257, 256)
    # the reading error before the cutoff's range
    with pytest.raises(ValueError, match="unsupported"):
        dictionary.normalized_similarity(bad, "a", score_cutoff=1.5)
    # left before right in conversion
    with pytest.raises(TypeError, match="'left'"):
        dictionary.distance(1, 2)
    with pytest.raises(TypeError, match="'threshold'"):
        dictionary.within_distance("a", "b", None)
    with pytest.raises(OverflowError, match="'threshold'"):
        dictionary.within_distance("a", "b", -1)
    with pytest.raises(TypeError):
        dictionary.within_distance("a", "b", 1, score_cutoff=1)
    with pytest.raises(TypeError):
        dictionary.distance("a", "b", 1)


def test_keywords_for_every_parameter(dictionary):
    assert dictionary.distance(right="b", left="a") == dictionary.distance("a", "b")
    assert dictionary.within_distance(threshold=5, right="b", left="a") is True
    assert dictionary.ratio("a", "b", score_cutoff=None, max_paths=None) == dictionary.ratio("a", "b")


def test_oversized_readings_are_refused_with_the_cell_limit(ja):
    # Two 4,002-letter romaji texts need 4,003 x 4,003 > 16,000,000 cells.
    left, right = "ka" * 2001, "ki" * 2001
    for method in (ja.distance, ja.damerau_distance, ja.combined_distance):
        with pytest.raises(ValueError, match=r"^distance matrix 4003x4003 exceeds the maximum of 16000000 cells$"):
            method(left, right)
    with pytest.raises(ValueError, match="exceeds the maximum"):
        ja.within_distance(left, right, 10)
