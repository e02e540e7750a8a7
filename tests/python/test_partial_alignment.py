import random

import pytest

import _orvel
from reference import partial_distance, partial_ratio

U64_MAX = 2**64 - 1


@pytest.mark.parametrize(
    "call,expected",
    [
        (lambda: _orvel._partial_ratio_alignment("abc", "xxabcxx", 3), (1.0, 0, 3, 2, 5)),
        (lambda: _orvel._partial_distance_alignment("abc", "xxabcxx", 3), (0, 0, 3, 2, 5)),
        # Equal scores: the shorter span wins...
        (lambda: _orvel._partial_ratio_alignment("ab", "xb", 4), (0.5, 0, 2, 1, 2)),
        (lambda: _orvel._partial_distance_alignment("ab", "xb", 4), (1, 0, 2, 1, 2)),
        # ...and among equally long ones the first found.
        (lambda: _orvel._partial_ratio_alignment("ab", "abab", 2), (1.0, 0, 2, 0, 2)),
        (lambda: _orvel._partial_distance_alignment("ab", "abab", 2), (0, 0, 2, 0, 2)),
        # The empty query matches the empty span.
        (lambda: _orvel._partial_ratio_alignment("", "abc", 5), (1.0, 0, 0, 0, 0)),
        (lambda: _orvel._partial_distance_alignment("", "abc", 0), (0, 0, 0, 0, 0)),
        # Only the empty span is tried for a limit of 0 or an empty text.
        (lambda: _orvel._partial_ratio_alignment("abc", "xabc", 0), None),
        (lambda: _orvel._partial_ratio_alignment("abc", "", 3), None),
        (lambda: _orvel._partial_distance_alignment("abc", "xabc", 0), (3, 0, 3, 0, 0)),
        (lambda: _orvel._partial_distance_alignment("abc", "", 9), (3, 0, 3, 0, 0)),
        (lambda: _orvel._partial_distance_alignment("abc", "", 9, score_cutoff=2), None),
        # A cutoff that excludes every span.
        (lambda: _orvel._partial_ratio_alignment("ab", "xb", 4, score_cutoff=0.6), None),
        (lambda: _orvel._partial_distance_alignment("ab", "xb", 4, score_cutoff=0), None),
        # Positions count scalar values.
        (lambda: _orvel._partial_ratio_alignment("\u6771\u4eac", "\u5927\u6771\u4eac\u90fd", 2), (1.0, 0, 2, 1, 3)),
        (lambda: _orvel._partial_distance_alignment("abc", "zzabc", U64_MAX), (0, 0, 3, 2, 5)),
    ],
)
def test_alignment_cases(call, expected):
    assert call() == expected


def test_alignments_agree_with_every_span_search():
    rng = random.Random(11)
    for _ in range(400):
        query = "".join(rng.choice("ab\u3042") for _ in range(rng.randrange(4)))
        text = "".join(rng.choice("abx\u3042") for _ in range(rng.randrange(8)))
        limit = rng.choice([0, 1, 2, 3, 5, U64_MAX])
        c = rng.choice([None, 0.0, 0.4, 0.5, 1.0])
        k = rng.choice([None, 0, 1, 2])
        assert _orvel._partial_ratio_alignment(query, text, limit, score_cutoff=c) == partial_ratio(
            query, text, limit, c
        ), (query, text, limit, c)
        assert _orvel._partial_distance_alignment(query, text, limit, score_cutoff=k) == partial_distance(
            query, text, limit, k
        ), (query, text, limit, k)


def test_invalid_ratio_cutoff_always_fails():
    for query, text, limit in [("a", "b", 1), ("", "", 0), ("abc", "", 5)]:
        with pytest.raises(ValueError, match="score_cutoff must be between 0.0 and 1.0"):
            _orvel._partial_ratio_alignment(query, text, limit, score_cutoff=1.5)


def test_distance_search_cell_limit():
    # A query of 4,000 chars (4,001 nodes) cannot meet a span of 3,999 or more.
    with pytest.raises(ValueError, match="^distance matrix 4001x4000 exceeds the maximum of 16000000 cells$"):
        _orvel._partial_distance_alignment("a" * 4000, "b" * 3999, 3999, score_cutoff=0)
