"""Matrix methods of the dictionary classes: each cell is its pairwise method."""

import pytest

import _orvel
from test_dictionary_fixtures import dictionary, ja, limit_message, zh  # noqa: F401

QUERIES = {
    "ja": ["東京", "とうきょう", "日本", "", "tokyo"],
    "zh": ["北京", "beijing", "重庆", "行"],
}
CHOICES = {
    "ja": ["トウキョウ", "京都", "にっぽん", "tokyo", "x東", "先生"],
    "zh": ["bei3jing1", "南京", "chongqing", "xing2", "银行"],
}

# matrix method, pairwise method, cutoffs to try
PAIRS = [
    ("_cdist_distance", "distance", [None, 0, 1, 3, 2**64 - 1]),
    ("_cdist_damerau_distance", "damerau_distance", [None, 0, 2]),
    ("_cdist_combined_distance", "combined_distance", [None, 0, 1, 2**63 - 1]),
    ("_cdist_normalized_similarity", "normalized_similarity", [None, 0.0, 0.5, 0.8, 1.0]),
    ("_cdist_normalized_distance", "normalized_distance", [None, 0.0, 0.2, 1.0]),
]


def lists(dictionary):
    key = "ja" if isinstance(dictionary, _orvel.JapaneseDictionary) else "zh"
    return QUERIES[key], CHOICES[key]


@pytest.mark.parametrize("matrix, pairwise, cutoffs", PAIRS, ids=[p[0] for p in PAIRS])
def test_each_cell_is_the_pairwise_method(dictionary, matrix, pairwise, cutoffs):
    queries, choices = lists(dictionary)
    for cutoff in cutoffs:
        for options in ({}, {"longest_only": True}, {"max_readings_per_segment": 1}):
            got = getattr(dictionary, matrix)(queries, choices, score_cutoff=cutoff, **options)
            want = [[getattr(dictionary, pairwise)(q, c, score_cutoff=cutoff, **options) for c in choices]
                    for q in queries]
            assert got == want, (cutoff, options)
            cell_type = float if "normalized" in matrix else int
            assert all(type(cell) is cell_type for row in got for cell in row)


def test_queries_stay_on_the_left(ja):
    # combined distance is not symmetric in what it reads: the lattice of the
    # query is on the left, as in the pairwise call.
    assert ja._cdist_combined_distance(["東京"], ["x東"]) == [[ja.combined_distance("東京", "x東")]]
    assert ja._cdist_distance(["東京", "x東"], ["x東"]) == [[4], [0]]


def test_shapes_and_sequences(dictionary):
    queries, choices = lists(dictionary)
    assert dictionary._cdist_distance([], choices) == []
    assert dictionary._cdist_normalized_similarity(queries[:2], []) == [[], []]
    assert dictionary._cdist_distance(tuple(queries), choices) == dictionary._cdist_distance(queries, choices)
    for bad in (queries[0], [queries[0], 1], 5, None):
        with pytest.raises(TypeError, match="queries"):
            dictionary._cdist_distance(bad, choices)
    with pytest.raises(TypeError, match="choices"):
        dictionary._cdist_distance(queries, "abc")


def test_float_cutoff_is_checked_only_when_a_cell_is_made(dictionary):
    queries, choices = lists(dictionary)
    for method in (dictionary._cdist_normalized_similarity, dictionary._cdist_normalized_distance):
        assert method([], choices, score_cutoff=2.0) == []
        assert method(queries, [], score_cutoff=-1.0) == [[] for _ in queries]
        with pytest.raises(ValueError, match=r"^score_cutoff must be between 0\.0 and 1\.0$"):
            method(queries, choices, score_cutoff=1.5)


def test_error_order(ja, zh):
    # queries are read before choices, earlier texts before later ones
    with pytest.raises(ValueError, match="'Ω'"):
        ja._cdist_distance(["東京", "Ω"], ["😀"])
    with pytest.raises(ValueError, match="'😀'"):
        ja._cdist_normalized_distance(["東京"], ["x", "😀", "Ω"])
    # an unreadable query fails the call even when there is nothing to compare
    with pytest.raises(ValueError, match="unsupported direct pinyin input"):
        zh._cdist_distance(["北京", "😀"], [])
    # the reading error comes before the cutoff's range
    with pytest.raises(ValueError, match="unsupported character"):
        ja._cdist_normalized_similarity(["😀"], ["a"], score_cutoff=7.0)
    # the option limits before any reading, the combined cutoff before those
    with pytest.raises(ValueError) as raised:
        zh._cdist_distance(["😀"], ["😀"], max_paths=16385)
    assert str(raised.value) == limit_message(zh, "max_paths", 16385, 16384)
    with pytest.raises(TypeError, match="score_cutoff must be an int"):
        zh._cdist_combined_distance(["😀"], ["😀"], max_paths=16385, score_cutoff=1.0)
    with pytest.raises(ValueError, match=">= 0"):
        zh._cdist_combined_distance(["😀"], ["😀"], max_paths=16385, score_cutoff=-1)


def test_an_oversized_pair_fails_the_whole_matrix(ja):
    long_a, long_b = "ka" * 2001, "ki" * 2001
    for method in (ja._cdist_distance, ja._cdist_damerau_distance, ja._cdist_combined_distance):
        with pytest.raises(ValueError, match=r"^distance matrix 4003x4003 exceeds the maximum of 16000000 cells$"):
            method(["a", long_a], [long_b, "b"])
