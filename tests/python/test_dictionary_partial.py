"""Best-span methods of the dictionary classes, checked against a brute force over spans."""

import pytest

import _orvel
from test_dictionary_fixtures import JA_UNREADABLE, ZH_UNREADABLE, dictionary, ja, limit_message, zh  # noqa: F401


def unreadable_prefix(d):
    return JA_UNREADABLE if isinstance(d, _orvel.JapaneseDictionary) else ZH_UNREADABLE


def spans(text, limit, query_empty):
    if query_empty or limit == 0 or not text:
        yield 0, 0
        return
    for start in range(len(text)):
        for end in range(start + 1, min(start + limit, len(text)) + 1):
            yield start, end


def brute_force(d, query, text, limit, cutoff=None, *, distance=False):
    """Every span read by the dictionary's own pairwise methods: unreadable
    spans skipped, other reading errors raised; best score, then the shorter
    span, then the earlier start."""
    best = None
    for start, end in spans(text, limit, not query):
        span = text[start:end]
        try:
            similarity = d.normalized_similarity(query, span)
        except ValueError as e:
            if str(e).startswith(unreadable_prefix(d)):
                continue
            raise
        if distance:
            if similarity == 0.0:
                continue
            score = d.distance(query, span)
            if cutoff is not None and score > cutoff:
                continue
            key = (score, end - start, start)
        else:
            if cutoff is not None:
                if not 0.0 <= cutoff <= 1.0:
                    raise ValueError("score_cutoff must be between 0.0 and 1.0")
                if similarity < cutoff:
                    similarity = 0.0
            if similarity <= 0.0:
                continue
            score = similarity
            key = (-score, end - start, start)
        if best is None or key < best[0]:
            best = (key, (score, 0, len(query), start, end))
    return None if best is None else best[1]


def outcome(call):
    try:
        return call()
    except ValueError as e:
        return ("ValueError", str(e))


CASES = {
    "ja": [
        ("とうきょう", "私は東京に行きたい", 6),
        ("東京", "きょうは東京と京都", 4),
        ("tokyo", "とうきょうとkyoto", 5),
        ("日本", "にっぽんのにほんご", 3),
        ("東京", "😀東京😀", 3),
        ("東京", "😀😀", 2),
        ("い", "あゕいゐ", 2),
        ("先生", "せんせいがせんせい", 4),
    ],
    "zh": [
        ("beijing", "我爱北京天安门", 3),
        ("北京", "南京和北京", 2),
        ("chongqing", "重庆火锅", 4),
        ("行", "银行行长", 1),
        ("ab", "xb", 4),
        ("ab", "abab", 2),
        ("北京", "😀北京", 3),
        ("北京", "😀Ω", 2),
    ],
}


def cases_of(d):
    return CASES["ja" if isinstance(d, _orvel.JapaneseDictionary) else "zh"]


def test_ratio_alignment_is_the_best_span(dictionary):
    for query, text, limit in cases_of(dictionary):
        for cutoff in (None, 0.0, 0.7, 1.0):
            got = outcome(lambda: dictionary._partial_ratio_alignment(query, text, limit, score_cutoff=cutoff))
            assert got == outcome(lambda: brute_force(dictionary, query, text, limit, cutoff)), (query, text, cutoff)


def test_distance_alignment_is_the_best_span(dictionary):
    for query, text, limit in cases_of(dictionary):
        for cutoff in (None, 0, 2):
            got = outcome(lambda: dictionary._partial_distance_alignment(query, text, limit, score_cutoff=cutoff))
            want = outcome(lambda: brute_force(dictionary, query, text, limit, cutoff, distance=True))
            assert got == want, (query, text, cutoff)


def test_known_alignments(ja, zh):
    # とうきょう reads toukyou, as 東京 at characters 2..4 of the sentence does.
    assert ja._partial_ratio_alignment("とうきょう", "私は東京に行きたい", 0) == (1.0, 0, 5, 2, 4)
    assert ja._partial_distance_alignment("とうきょう", "私は東京に行きたい", 0) == (0, 0, 5, 2, 4)
    # beijing is two tone digits from bei3jing1: 1 - 2/9.
    assert zh._partial_ratio_alignment("beijing", "我爱北京天安门", 0) == (pytest.approx(7 / 9), 0, 7, 2, 4)
    # ties: the shorter span, then the first one
    assert zh._partial_ratio_alignment("ab", "xb", 4) == (0.5, 0, 2, 1, 2)
    assert zh._partial_distance_alignment("ab", "xb", 4) == (1, 0, 2, 1, 2)
    assert zh._partial_ratio_alignment("ab", "abab", 2) == (1.0, 0, 2, 0, 2)
    assert zh._partial_ratio_alignment("ab", "xb", 4, score_cutoff=0.6) is None
    assert zh._partial_distance_alignment("ab", "xb", 4, score_cutoff=0) is None


def test_automatic_span_width(ja, zh):
    # 東京 (2 characters) reads toukyou (7): the width is max(max(4, 6), 7) = 7,
    # wide enough for the whole typed reading, which 6 is not.
    text = "toukyou"
    assert ja._partial_ratio_alignment("東京", text, 0) == (1.0, 0, 2, 0, 7)
    assert ja._partial_ratio_alignment("東京", text, 6)[0] < 1.0
    # a 3-character query with a short reading: max(6, 7) = 7
    three = "あいう"
    for text in ("xxaiueoaiu", "ああいいうう", "あいうえおかきくけこ"):
        assert ja._partial_ratio_alignment(three, text, 0) == ja._partial_ratio_alignment(three, text, 7)
    # a huge width reaches every substring
    assert zh._partial_ratio_alignment("ab", "xxab", 2**64 - 1) == zh._partial_ratio_alignment("ab", "xxab", 4)


def test_empty_query(ja, zh):
    # The Japanese front reads the empty text; only the empty span is compared.
    for text in ("", "東京", "😀"):
        assert ja._partial_ratio_alignment("", text, 0) == (1.0, 0, 0, 0, 0)
        assert ja._partial_distance_alignment("", text, 5) == (0, 0, 0, 0, 0)
    # The Chinese front does not read it at all.
    with pytest.raises(ValueError, match='^unsupported direct pinyin input ""$'):
        zh._partial_ratio_alignment("", "北京", 0)


def test_query_must_be_readable_while_spans_are_skipped(dictionary):
    with pytest.raises(ValueError, match=unreadable_prefix(dictionary)):
        dictionary._partial_ratio_alignment("😀", "abc", 0)
    with pytest.raises(ValueError, match=unreadable_prefix(dictionary)):
        dictionary._partial_distance_alignment("😀", "abc", 0)
    query = cases_of(dictionary)[0][0]
    assert dictionary._partial_ratio_alignment(query, "😀Ω", 0) is None
    assert dictionary._partial_distance_alignment(query, "😀Ω", 0) is None


def test_cutoff_range_is_checked_at_the_first_scored_span(dictionary):
    query, text, _ = cases_of(dictionary)[0]
    # no readable span: nothing is scored, so nothing is checked
    assert dictionary._partial_ratio_alignment(query, "😀", 0, score_cutoff=1.5) is None
    for bad in (1.5, -0.5, float("nan")):
        with pytest.raises(ValueError, match=r"^score_cutoff must be between 0\.0 and 1\.0$"):
            dictionary._partial_ratio_alignment(query, text, 0, score_cutoff=bad)


def test_partial_arguments(dictionary):
    query, text, _ = cases_of(dictionary)[0]
    # the text span width has no limit; the reading width has the option limit
    assert dictionary._partial_ratio_alignment(query, text, 1000) == dictionary._partial_ratio_alignment(
        query, text, len(text))
    with pytest.raises(ValueError) as raised:
        dictionary._partial_ratio_alignment("😀", text, 0, reading_max_span_chars=257)
    assert str(raised.value) == limit_message(dictionary, "max_span_chars", 257, 256)
    with pytest.raises(TypeError):
        dictionary._partial_ratio_alignment(query, text, None)
    with pytest.raises(OverflowError, match="score_cutoff"):
        dictionary._partial_distance_alignment(query, text, 0, score_cutoff=-1)
    with pytest.raises(TypeError, match="max_span_chars"):
        dictionary._partial_ratio_alignment(query, text, 0, max_span_chars=3)
    # the positional width is converted before the reading width
    with pytest.raises(TypeError, match="argument 'max_span_chars'"):
        dictionary._partial_ratio_alignment(query, text, "x", reading_max_span_chars="y")
    with pytest.raises(TypeError, match="argument 'reading_max_span_chars'"):
        dictionary._partial_ratio_alignment(query, text, 0, reading_max_span_chars="y", score_cutoff="z")
    # the reading option changes what a span reads like
    assert dictionary._partial_ratio_alignment(query, text, 0, reading_max_span_chars=8) == \
        dictionary._partial_ratio_alignment(query, text, 0)
