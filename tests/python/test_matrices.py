import random

import pytest

import _orvel
from reference import levenshtein, osa, similarity, with_cutoff


def random_texts(rng, count):
    return ["".join(rng.choice("ab\u3042") for _ in range(rng.randrange(5))) for _ in range(count)]


def test_cells_are_query_against_choice():
    rng = random.Random(5)
    for _ in range(40):
        queries, choices = random_texts(rng, rng.randrange(4)), random_texts(rng, rng.randrange(4))
        k = rng.choice([None, 0, 1, 2])
        c = rng.choice([None, 0.0, 0.5, 1.0])
        expected_d = [[with_cutoff(levenshtein(q, ch), k) for ch in choices] for q in queries]
        expected_osa = [[with_cutoff(osa(q, ch), k) for ch in choices] for q in queries]
        s = [[similarity(q, ch) for ch in choices] for q in queries]
        expected_s = [[0.0 if c is not None and v < c else v for v in row] for row in s]
        expected_nd = [[1.0 if c is not None and 1.0 - v > c else 1.0 - v for v in row] for row in s]
        assert _orvel._cdist_distance(queries, choices, score_cutoff=k) == expected_d
        assert _orvel._cdist_damerau_distance(queries, choices, score_cutoff=k) == expected_osa
        assert _orvel._cdist_combined_distance(queries, choices, score_cutoff=k) == expected_osa
        assert _orvel._cdist_normalized_similarity(queries, choices, score_cutoff=c) == expected_s
        assert _orvel._cdist_normalized_distance(queries, choices, score_cutoff=c) == expected_nd


@pytest.mark.parametrize(
    "call,expected",
    [
        (lambda: _orvel._cdist_distance(["abc"], ["abd", "abc"], score_cutoff=0), [[1, 0]]),
        (lambda: _orvel._cdist_distance(["abc"], ["abd", "abc"]), [[1, 0]]),
        (lambda: _orvel._cdist_distance(["a", "b"], []), [[], []]),
        (lambda: _orvel._cdist_distance([], ["a"]), []),
        (lambda: _orvel._cdist_combined_distance(["ab"], ["ba"]), [[1]]),
        (lambda: _orvel._cdist_normalized_similarity(["abc"], ["abc", "xyz"], score_cutoff=0.5), [[1.0, 0.0]]),
        (lambda: _orvel._cdist_normalized_distance(["abc"], ["abc", "xyz"], score_cutoff=0.5), [[0.0, 1.0]]),
        # The query stays on the left: a matrix is not transposed.
        (lambda: _orvel._cdist_distance(["a", "abc"], ["ab"]), [[1], [1]]),
        (lambda: _orvel._cdist_normalized_similarity(["a", "abcd"], ["ab"]), [[0.5], [0.5]]),
    ],
)
def test_matrix_cases(call, expected):
    assert call() == expected


def test_rows_are_fresh_lists():
    matrix = _orvel._cdist_distance(["a", "b"], ["a"])
    assert type(matrix) is list and all(type(row) is list for row in matrix)
    assert matrix[0] is not matrix[1]
