"""Text arguments are copied out of the caller's str without changing it,
whatever its storage (1, 2 or 4 bytes per character) and length."""

import sys

import pytest

import _orvel
from reference import levenshtein, osa

# One text per storage width, short (copied inside the call's own buffer)
# and long (more than 256 bytes of UTF-8, copied to the heap).
TEXTS = [
    "abc\u00e9\u00ff",
    "\u3042\u3044\u3046\u6771\u4eac",
    "a\U0001F600\u3042\u00e9",
]
TEXTS += [t * 40 for t in TEXTS]


def fresh(text):
    # A new str object each time: no cached form from earlier calls.
    return "".join(list(text))


@pytest.mark.parametrize(
    "call",
    [
        lambda a, b: _orvel.distance(a, b),
        lambda a, b: _orvel.distance(a, b, score_cutoff=1),
        lambda a, b: _orvel.damerau_distance(a, b),
        lambda a, b: _orvel.combined_distance(a, b, score_cutoff=3),
        lambda a, b: _orvel.normalized_similarity(a, b),
        lambda a, b: _orvel.normalized_distance(a, b, score_cutoff=0.5),
        lambda a, b: _orvel._cdist_distance([a], [b, a]),
        lambda a, b: _orvel._cdist_normalized_similarity([a], [b]),
        lambda a, b: _orvel.normalized_similarity_paths([a], [b]),
        lambda a, b: _orvel.distance_paths([a], [b]),
    ],
)
def test_str_sizes_are_unchanged_by_a_call(call):
    for text in TEXTS:
        left, right = fresh(text), fresh(text[::-1])
        sizes = sys.getsizeof(left), sys.getsizeof(right)
        call(left, right)
        assert (sys.getsizeof(left), sys.getsizeof(right)) == sizes, text[:10]


def test_every_storage_width_reads_the_same_characters():
    for a in TEXTS:
        for b in TEXTS:
            b = b[: len(b) // 2] + "x" + b[len(b) // 2 :]
            assert _orvel.distance(a, b) == levenshtein(a, b)
            assert _orvel.damerau_distance(a, b) == osa(a, b)
            assert _orvel._cdist_distance([a], [b]) == [[levenshtein(a, b)]]


def test_a_lone_surrogate_is_refused_in_short_and_long_texts():
    for bad in ["\ud800", "\u3042" * 100 + "\udfff", "\U0001F600\udc00"]:
        with pytest.raises(UnicodeEncodeError):
            _orvel.distance("a", bad)
        with pytest.raises(UnicodeEncodeError):
            _orvel._cdist_distance([bad], ["a"])


def test_keywords_are_matched_by_their_whole_name():
    assert _orvel.distance(left="ab", right="ba", score_cutoff=5) == 2
    for bad in ["left\0", "lef", "score_cutoffs", "r\u00e9ght"]:
        with pytest.raises(TypeError, match="unexpected keyword"):
            _orvel.distance("a", "b", **{bad: 1})
    with pytest.raises(OverflowError):
        _orvel.distance("a", "b", score_cutoff=2**64)
    with pytest.raises(OverflowError):
        _orvel.distance("a", "b", score_cutoff=-1)
    assert _orvel.distance("abc", "abd", score_cutoff=2**64 - 1) == 1
