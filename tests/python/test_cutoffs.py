import math

import pytest

import _orvel

U64_MAX = 2**64 - 1
INT_CUTOFF = [_orvel.distance, _orvel.damerau_distance]
RAW_CUTOFF = [_orvel.combined_distance]
FLOAT_CUTOFF = [_orvel.normalized_similarity, _orvel.normalized_distance, _orvel.ratio]


# abc against xyz is at distance 3 in both edit models.
@pytest.mark.parametrize("function", INT_CUTOFF + RAW_CUTOFF)
@pytest.mark.parametrize(
    "cutoff,expected",
    [(None, 3), (0, 1), (1, 2), (2, 3), (3, 3), (4, 3), (2**63 - 1, 3)],
)
def test_integer_cutoff_reports_k_plus_one(function, cutoff, expected):
    assert function("abc", "xyz", score_cutoff=cutoff) == expected


@pytest.mark.parametrize("function", INT_CUTOFF)
def test_integer_cutoff_at_the_top_of_the_range(function):
    assert function("abc", "xyz", score_cutoff=U64_MAX) == 3
    assert function("abc", "xyz", score_cutoff=2**63) == 3
    assert function("abc", "xyz", score_cutoff=True) == 2
    assert function("abc", "xyz", score_cutoff=False) == 1


def test_integer_cutoff_successor_saturates():
    # k + 1 for the largest k stays the largest value instead of wrapping.
    assert _orvel.distance_paths(["a"], ["b"], score_cutoff=U64_MAX) == 1
    assert _orvel._cdist_distance(["a"], ["bb"], score_cutoff=U64_MAX) == [[2]]


@pytest.mark.parametrize("function", INT_CUTOFF)
@pytest.mark.parametrize(
    "cutoff,error",
    [(-1, OverflowError), (2**64, OverflowError), (1.5, TypeError), ("1", TypeError)],
)
def test_integer_cutoff_conversion_errors(function, cutoff, error):
    with pytest.raises(error, match="argument 'score_cutoff'"):
        function("abc", "xyz", score_cutoff=cutoff)


RAW_FUNCTIONS = [
    lambda cutoff: _orvel.combined_distance("abc", "xyz", score_cutoff=cutoff),
    lambda cutoff: _orvel._cdist_combined_distance(["abc"], ["xyz"], score_cutoff=cutoff),
]


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


@pytest.mark.parametrize("call", RAW_FUNCTIONS)
@pytest.mark.parametrize(
    "cutoff,error,message",
    [
        (True, TypeError, "score_cutoff must be an int for distance metrics"),
        (False, TypeError, "score_cutoff must be an int for distance metrics"),
        (1.5, TypeError, "score_cutoff must be an int for distance metrics"),
        ("1", TypeError, "score_cutoff must be an int for distance metrics"),
        (2**63, TypeError, "score_cutoff must be an int for distance metrics"),
        (U64_MAX, TypeError, "score_cutoff must be an int for distance metrics"),
        (-(2**63) - 1, TypeError, "score_cutoff must be an int for distance metrics"),
        (-1, ValueError, "score_cutoff must be >= 0 for distance metrics"),
        (-(2**63), ValueError, "score_cutoff must be >= 0 for distance metrics"),
        (Index(-2), ValueError, "score_cutoff must be >= 0 for distance metrics"),
    ],
)
def test_raw_cutoff_errors(call, cutoff, error, message):
    with pytest.raises(error) as info:
        call(cutoff)
    assert type(info.value) is error
    assert str(info.value) == message


@pytest.mark.parametrize("call", RAW_FUNCTIONS)
def test_raw_cutoff_accepts_int_and_index(call):
    def value(result):
        return result if isinstance(result, int) else result[0][0]

    assert value(call(2**63 - 1)) == 3
    assert value(call(Index(1))) == 2
    assert value(call(0)) == 1
    assert value(call(None)) == 3


def test_raw_cutoff_is_checked_before_texts_are_copied():
    # The cutoff error wins over the unencodable text.
    with pytest.raises(TypeError, match="score_cutoff must be an int"):
        _orvel.combined_distance("\ud800", "a", score_cutoff=True)
    with pytest.raises(UnicodeEncodeError):
        _orvel.combined_distance("\ud800", "a", score_cutoff=1)


@pytest.mark.parametrize(
    "function,cutoff,expected",
    [
        # abc / xyz: similarity 0.0, distance 1.0.
        (_orvel.normalized_similarity, 0.5, 0.0),
        (_orvel.normalized_distance, 0.5, 1.0),
        (_orvel.normalized_similarity, 0.0, 0.0),
        (_orvel.normalized_distance, 1.0, 1.0),
    ],
)
def test_float_cutoff_replacements(function, cutoff, expected):
    assert function("abc", "xyz", score_cutoff=cutoff) == expected


def test_float_cutoff_boundaries():
    # abcd / ab: similarity 0.5, distance 0.5. A value equal to the cutoff
    # stays; just past it, it is replaced.
    assert _orvel.normalized_similarity("abcd", "ab", score_cutoff=0.5) == 0.5
    assert _orvel.normalized_similarity("abcd", "ab", score_cutoff=math.nextafter(0.5, 1)) == 0.0
    assert _orvel.normalized_distance("abcd", "ab", score_cutoff=0.5) == 0.5
    assert _orvel.normalized_distance("abcd", "ab", score_cutoff=math.nextafter(0.5, 0)) == 1.0
    assert _orvel.ratio_paths(["abcd"], ["ab"], score_cutoff=0.5) == 0.5
    assert _orvel.normalized_distance_paths(["abcd"], ["ab"], score_cutoff=0.4) == 1.0


FLOAT_CALLS = [
    lambda c: _orvel.normalized_similarity("a", "b", score_cutoff=c),
    lambda c: _orvel.normalized_distance("a", "b", score_cutoff=c),
    lambda c: _orvel.ratio("", "", score_cutoff=c),
    lambda c: _orvel.normalized_similarity_paths(["a"], ["b"], score_cutoff=c),
    lambda c: _orvel.normalized_distance_paths(["a"], ["b"], score_cutoff=c),
    lambda c: _orvel.ratio_paths(["a"], ["a"], score_cutoff=c),
    lambda c: _orvel._cdist_normalized_similarity(["a"], ["b"], score_cutoff=c),
    lambda c: _orvel._cdist_normalized_distance(["a"], ["b"], score_cutoff=c),
    lambda c: _orvel._partial_ratio_alignment("a", "b", 1, score_cutoff=c),
]


@pytest.mark.parametrize("call", FLOAT_CALLS)
@pytest.mark.parametrize("cutoff", [math.nan, -0.1, 1.1, 2.0, -math.inf, math.inf])
def test_float_cutoff_out_of_range(call, cutoff):
    with pytest.raises(ValueError) as info:
        call(cutoff)
    assert str(info.value) == "score_cutoff must be between 0.0 and 1.0"


def test_float_cutoff_is_checked_only_where_a_value_is_produced():
    assert _orvel._cdist_normalized_similarity([], ["a"], score_cutoff=2.0) == []
    assert _orvel._cdist_normalized_distance(["a", "b"], [], score_cutoff=math.nan) == [[], []]
    # An invalid path list is reported instead of the invalid cutoff.
    with pytest.raises(ValueError, match="left_paths must contain at least one path"):
        _orvel.normalized_similarity_paths([], ["a"], score_cutoff=2.0)
    with pytest.raises(ValueError, match="right_paths cannot mix empty and non-empty paths"):
        _orvel.ratio_paths(["a"], ["", "a"], score_cutoff=-1.0)
