import random

import pytest

import _orvel
from reference import levenshtein, osa, similarity, with_cutoff

# Small alphabets give many near pairs; the rest spreads over every plane
# (no surrogates: they cannot be encoded).
ALPHABETS = ["ab", "abc\u00e9", "\u3042\u3044\u3046\u6771\u4eac", "e\u0301\u00e9"]


def random_text(rng):
    if rng.random() < 0.3:
        return "".join(chr(rng.choice([rng.randrange(0x20, 0xD800), rng.randrange(0xE000, 0x110000)]))
                       for _ in range(rng.randrange(8)))
    alphabet = rng.choice(ALPHABETS)
    return "".join(rng.choice(alphabet) for _ in range(rng.randrange(12)))


def random_pairs(seed, count):
    rng = random.Random(seed)
    pairs = []
    for _ in range(count):
        a = random_text(rng)
        b = random_text(rng) if rng.random() < 0.7 else a[: rng.randrange(len(a) + 1)] + random_text(rng)[:2]
        pairs.append((a, b))
    return pairs


PAIRS = random_pairs(1, 3000)


def test_string_metrics_agree_with_rapidfuzz():
    distance = pytest.importorskip("rapidfuzz.distance")
    Levenshtein, OSA = distance.Levenshtein, distance.OSA
    for a, b in PAIRS:
        assert _orvel.distance(a, b) == Levenshtein.distance(a, b), (a, b)
        assert _orvel.damerau_distance(a, b) == OSA.distance(a, b), (a, b)
        assert _orvel.combined_distance(a, b) == OSA.distance(a, b), (a, b)
        assert _orvel.normalized_similarity(a, b) == pytest.approx(
            Levenshtein.normalized_similarity(a, b), abs=1e-12
        ), (a, b)


def test_cutoff_forms_agree_with_the_exact_ones():
    rng = random.Random(2)
    for a, b in PAIRS[:1000]:
        k = rng.randrange(6)
        assert _orvel.distance(a, b, score_cutoff=k) == with_cutoff(levenshtein(a, b), k), (a, b, k)
        assert _orvel.damerau_distance(a, b, score_cutoff=k) == with_cutoff(osa(a, b), k), (a, b, k)
        assert _orvel.combined_distance(a, b, score_cutoff=k) == with_cutoff(osa(a, b), k), (a, b, k)


def test_normalized_scores_and_ratio():
    for a, b in PAIRS[:500]:
        s = similarity(a, b)
        assert _orvel.normalized_similarity(a, b) == s
        assert _orvel.ratio(a, b) == s
        assert _orvel.normalized_distance(a, b) == 1.0 - s
        assert _orvel.ratio_paths([a], [b]) == _orvel.normalized_similarity_paths([a], [b]) == s


@pytest.mark.parametrize(
    "function,left,right,expected",
    [
        (_orvel.normalized_similarity, "", "", 1.0),
        (_orvel.normalized_similarity, "abc", "", 0.0),
        (_orvel.normalized_distance, "", "", 0.0),
        (_orvel.damerau_distance, "ab", "ba", 1),
        (_orvel.combined_distance, "ab", "ba", 1),
        (_orvel.distance, "ab", "ba", 2),
        (_orvel.damerau_distance, "abc", "ca", 3),
        # Unicode scalar values, never bytes or normalised forms.
        (_orvel.distance, "\u00e9", "e", 1),
        (_orvel.distance, "e\u0301", "\u00e9", 2),
        (_orvel.distance, "\U0001f600a", "a", 1),
    ],
)
def test_text_metric_cases(function, left, right, expected):
    assert function(left, right) == expected


def paths_reference(left, right, pair_distance):
    return min(pair_distance(a, b) for a in left for b in right)


def test_path_list_metrics_against_every_pair():
    rng = random.Random(3)
    alphabet = "abk\u3042"
    for _ in range(300):
        left = ["".join(rng.choice(alphabet) for _ in range(rng.randrange(1, 5))) for _ in range(rng.randrange(1, 4))]
        right = ["".join(rng.choice(alphabet) for _ in range(rng.randrange(1, 5))) for _ in range(rng.randrange(1, 4))]
        d = paths_reference(left, right, levenshtein)
        dd = paths_reference(left, right, osa)
        best = max(similarity(a, b) for a in left for b in right)
        t = rng.randrange(4)
        assert _orvel.distance_paths(left, right) == d
        assert _orvel.distance_paths(left, right, score_cutoff=t) == with_cutoff(d, t)
        assert _orvel.damerau_distance_paths(left, right) == dd
        assert _orvel.damerau_distance_paths(left, right, score_cutoff=t) == with_cutoff(dd, t)
        assert _orvel.within_distance_paths(left, right, t) == (d <= t)
        assert _orvel.within_damerau_distance_paths(left, right, t) == (dd <= t)
        assert _orvel.normalized_similarity_paths(left, right) == best
        assert _orvel.normalized_distance_paths(left, right) == 1.0 - best


@pytest.mark.parametrize(
    "call,expected",
    [
        (lambda: _orvel.distance_paths(["ab"], ["ab", "b"]), 0),
        (lambda: _orvel.distance_paths(["", ""], ["abc"]), 3),
        (lambda: _orvel.damerau_distance_paths([""], [""]), 0),
        (lambda: _orvel.within_distance_paths([""], ["", ""], 0), True),
        (lambda: _orvel.normalized_similarity_paths([""], [""]), 1.0),
        (lambda: _orvel.normalized_similarity_paths(["", ""], ["a"]), 0.0),
        (lambda: _orvel.within_distance_paths(["abc"], ["abd"], 0), False),
        (lambda: _orvel.within_distance_paths(["abc"], ["abd"], 1), True),
        (lambda: _orvel.within_damerau_distance_paths(["ab"], ["ba"], 1), True),
        (lambda: _orvel.within_distance_paths(["ab"], ["ba"], 1), False),
    ],
)
def test_path_list_cases(call, expected):
    assert call() == expected


PATH_FUNCTIONS = [
    lambda l, r: _orvel.distance_paths(l, r),
    lambda l, r: _orvel.damerau_distance_paths(l, r, score_cutoff=1),
    lambda l, r: _orvel.normalized_distance_paths(l, r),
    lambda l, r: _orvel.normalized_similarity_paths(l, r),
    lambda l, r: _orvel.ratio_paths(l, r),
    lambda l, r: _orvel.within_distance_paths(l, r, 1),
    lambda l, r: _orvel.within_damerau_distance_paths(l, r, 1),
]


@pytest.mark.parametrize("call", PATH_FUNCTIONS)
@pytest.mark.parametrize(
    "left,right,message",
    [
        ([], ["a"], "left_paths must contain at least one path"),
        ([], [], "left_paths must contain at least one path"),
        ([], ["", "a"], "left_paths must contain at least one path"),
        (["a", ""], [], "left_paths cannot mix empty and non-empty paths"),
        (["a"], [], "right_paths must contain at least one path"),
        (["a"], ["", "b"], "right_paths cannot mix empty and non-empty paths"),
    ],
)
def test_path_list_errors_name_the_list_left_first(call, left, right, message):
    with pytest.raises(ValueError) as info:
        call(left, right)
    assert str(info.value) == message


def test_lattice_cell_limit():
    # n chars give n + 1 nodes: 3,999 on both sides is exactly 16,000,000 cells.
    a = "a" * 3999
    assert _orvel.distance_paths([a], [a], score_cutoff=0) == 0
    assert _orvel.within_damerau_distance_paths([a], [a], 0) is True
    big = "a" * 4000
    message = "distance matrix 4001x4000 exceeds the maximum of 16000000 cells"
    for call in [
        lambda: _orvel.distance_paths([big], [a]),
        lambda: _orvel.damerau_distance_paths([big], [a], score_cutoff=3),
        lambda: _orvel.within_distance_paths([big], [a], 0),
        lambda: _orvel.within_damerau_distance_paths([big], [a], 10),
    ]:
        with pytest.raises(ValueError) as info:
            call()
        assert str(info.value) == message
    # The similarity functions build no lattice and have no such limit.
    assert _orvel.normalized_similarity_paths([big], [a]) == pytest.approx(1 - 1 / 4000)
    # Plain texts have no limit either.
    assert _orvel.distance(big, a) == 1
