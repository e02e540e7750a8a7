import importlib.metadata
import inspect
import re
from collections.abc import Sequence
from pathlib import Path

import pytest

import _orvel

FUNCTIONS = [
    ("distance", "(left, right, *, score_cutoff=None)"),
    ("damerau_distance", "(left, right, *, score_cutoff=None)"),
    ("combined_distance", "(left, right, *, score_cutoff=None)"),
    ("normalized_distance", "(left, right, *, score_cutoff=None)"),
    ("normalized_similarity", "(left, right, *, score_cutoff=None)"),
    ("ratio", "(left, right, *, score_cutoff=None)"),
    ("_partial_distance_alignment", "(query, text, max_span_chars, *, score_cutoff=None)"),
    ("_partial_ratio_alignment", "(query, text, max_span_chars, *, score_cutoff=None)"),
    ("_cdist_distance", "(queries, choices, *, score_cutoff=None)"),
    ("_cdist_damerau_distance", "(queries, choices, *, score_cutoff=None)"),
    ("_cdist_combined_distance", "(queries, choices, *, score_cutoff=None)"),
    ("_cdist_normalized_distance", "(queries, choices, *, score_cutoff=None)"),
    ("_cdist_normalized_similarity", "(queries, choices, *, score_cutoff=None)"),
    ("distance_paths", "(left_paths, right_paths, *, score_cutoff=None)"),
    ("damerau_distance_paths", "(left_paths, right_paths, *, score_cutoff=None)"),
    ("normalized_distance_paths", "(left_paths, right_paths, *, score_cutoff=None)"),
    ("normalized_similarity_paths", "(left_paths, right_paths, *, score_cutoff=None)"),
    ("ratio_paths", "(left_paths, right_paths, *, score_cutoff=None)"),
    ("within_distance_paths", "(left_paths, right_paths, threshold)"),
    ("within_damerau_distance_paths", "(left_paths, right_paths, threshold)"),
]
NAMES = [name for name, _ in FUNCTIONS]
CLASSES = ["JapaneseDictionary", "ChineseDictionary"]


def test_version_and_all():
    assert _orvel.__version__ == "0.2.3"
    assert _orvel.__all__ == ["__version__", *NAMES, *CLASSES]
    # The attributes were added in that order.
    public = [name for name in vars(_orvel) if name in _orvel.__all__]
    assert public == _orvel.__all__
    for name in CLASSES:
        assert isinstance(getattr(_orvel, name), type)


def test_version_has_one_source():
    # The project() line of CMakeLists.txt gives both the module's
    # __version__ and the installed distribution's version.
    cmake = (Path(__file__).resolve().parents[2] / "CMakeLists.txt").read_text(encoding="utf-8")
    written = re.search(r"project\(orvel VERSION ([0-9.]+)", cmake).group(1)
    assert _orvel.__version__ == written
    assert importlib.metadata.version("orvel") == written


@pytest.mark.parametrize("name,signature", FUNCTIONS)
def test_function_records(name, signature):
    function = getattr(_orvel, name)
    assert function.__text_signature__ == signature
    assert str(inspect.signature(function)) == signature
    assert function.__doc__ is None
    assert function.__module__ == "_orvel"
    assert function.__name__ == name
    assert function.__self__ is _orvel


# A call with every positional parameter given by keyword, and its result.
KEYWORD_CALLS = [
    ("distance", dict(left="abc", right="abd"), 1),
    ("damerau_distance", dict(left="ab", right="ba"), 1),
    ("combined_distance", dict(left="ab", right="ba"), 1),
    ("normalized_distance", dict(left="ab", right="ab"), 0.0),
    ("normalized_similarity", dict(left="ab", right="ab"), 1.0),
    ("ratio", dict(left="abcd", right="ab"), 0.5),
    ("_partial_distance_alignment", dict(query="abc", text="xxabcxx", max_span_chars=3), (0, 0, 3, 2, 5)),
    ("_partial_ratio_alignment", dict(query="abc", text="xxabcxx", max_span_chars=3), (1.0, 0, 3, 2, 5)),
    ("_cdist_distance", dict(queries=["abc"], choices=["abd", "abc"]), [[1, 0]]),
    ("_cdist_damerau_distance", dict(queries=["ab"], choices=["ba"]), [[1]]),
    ("_cdist_combined_distance", dict(queries=["ab"], choices=["ba"]), [[1]]),
    ("_cdist_normalized_distance", dict(queries=["ab"], choices=["ab"]), [[0.0]]),
    ("_cdist_normalized_similarity", dict(queries=["ab"], choices=["ab"]), [[1.0]]),
    ("distance_paths", dict(left_paths=["ab"], right_paths=["ab", "b"]), 0),
    ("damerau_distance_paths", dict(left_paths=["ab"], right_paths=["ba"]), 1),
    ("normalized_distance_paths", dict(left_paths=["ab"], right_paths=["ab"]), 0.0),
    ("normalized_similarity_paths", dict(left_paths=["ab"], right_paths=["ab"]), 1.0),
    ("ratio_paths", dict(left_paths=["abcd"], right_paths=["ab"]), 0.5),
    ("within_distance_paths", dict(left_paths=["abc"], right_paths=["abd"], threshold=1), True),
    ("within_damerau_distance_paths", dict(left_paths=["ab"], right_paths=["ba"], threshold=1), True),
]


@pytest.mark.parametrize("name,kwargs,expected", KEYWORD_CALLS, ids=[c[0] for c in KEYWORD_CALLS])
def test_positional_parameters_by_keyword(name, kwargs, expected):
    function = getattr(_orvel, name)
    assert function(**kwargs) == expected
    assert function(*kwargs.values()) == expected
    # score_cutoff=None means no cutoff; None is the same as leaving it out.
    if "threshold" not in kwargs:
        assert function(**kwargs, score_cutoff=None) == expected


def test_every_function_is_covered_by_the_keyword_table():
    assert [c[0] for c in KEYWORD_CALLS] == NAMES


@pytest.mark.parametrize(
    "call,message",
    [
        (lambda: _orvel.distance("a"), "distance() missing required argument 'right'"),
        (lambda: _orvel.distance(right="a"), "distance() missing required argument 'left'"),
        (lambda: _orvel.distance("a", "b", 1), "distance() takes 2 positional arguments but 3 were given"),
        (
            lambda: _orvel._partial_ratio_alignment("a", "b", 1, 2),
            "_partial_ratio_alignment() takes 3 positional arguments but 4 were given",
        ),
        (lambda: _orvel.distance("a", "b", cutoff=1), "distance() got an unexpected keyword argument 'cutoff'"),
        (lambda: _orvel.distance("a", "b", left="c"), "distance() got multiple values for argument 'left'"),
        (
            lambda: _orvel.within_distance_paths(["a"], ["b"], score_cutoff=1),
            "within_distance_paths() got an unexpected keyword argument 'score_cutoff'",
        ),
        (
            lambda: _orvel.within_distance_paths(["a"], ["b"], None),
            "within_distance_paths() argument 'threshold' must be int, not NoneType",
        ),
    ],
)
def test_binding_errors(call, message):
    with pytest.raises(TypeError) as info:
        call()
    assert str(info.value) == message


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


class Reals:
    def __float__(self):
        return 0.25


class Paths(Sequence):
    def __init__(self, *items):
        self.items = items

    def __len__(self):
        return len(self.items)

    def __getitem__(self, i):
        return self.items[i]


@pytest.mark.parametrize(
    "call,expected",
    [
        (lambda: _orvel.distance_paths(("ab",), Paths("ab", "b")), 0),
        (lambda: _orvel._cdist_distance(Paths("abc"), ("abd",)), [[1]]),
        (lambda: _orvel.within_distance_paths(["abc"], ["abd"], True), True),
        (lambda: _orvel.within_distance_paths(["abc"], ["abd"], Index(0)), False),
        (lambda: _orvel.within_distance_paths(["abc"], ["xyz"], 2**64 - 1), True),
        (lambda: _orvel.normalized_similarity("abcd", "ab", score_cutoff=Reals()), 0.5),
        (lambda: _orvel.normalized_similarity("abcd", "ab", score_cutoff=1), 0.0),
        (lambda: _orvel.distance(type("S", (str,), {})("ab"), "ba"), 2),
    ],
)
def test_accepted_argument_kinds(call, expected):
    assert call() == expected


@pytest.mark.parametrize(
    "call,error,message",
    [
        (lambda: _orvel.distance(1, "a"), TypeError, "distance() argument 'left' must be str, not int"),
        (lambda: _orvel.distance(b"a", "a"), TypeError, "distance() argument 'left' must be str, not bytes"),
        (
            lambda: _orvel.distance_paths("ab", ["a"]),
            TypeError,
            "distance_paths() argument 'left_paths' must be a sequence of str, not str",
        ),
        (
            lambda: _orvel._cdist_distance({"a"}, ["a"]),
            TypeError,
            "_cdist_distance() argument 'queries' must be a sequence of str, not set",
        ),
        (
            lambda: _orvel._cdist_distance(["a"], ["a", 3]),
            TypeError,
            "_cdist_distance() argument 'choices' item 1 must be str, not int",
        ),
        (
            lambda: _orvel.within_distance_paths(["a"], ["b"], -1),
            OverflowError,
            "within_distance_paths() argument 'threshold' must be an int from 0 to 18446744073709551615",
        ),
        (
            lambda: _orvel.within_distance_paths(["a"], ["b"], 2**64),
            OverflowError,
            "within_distance_paths() argument 'threshold' must be an int from 0 to 18446744073709551615",
        ),
        (
            lambda: _orvel._partial_ratio_alignment("a", "b", 1.0),
            TypeError,
            "_partial_ratio_alignment() argument 'max_span_chars' must be int, not float",
        ),
        (
            lambda: _orvel.ratio("a", "b", score_cutoff="0.5"),
            TypeError,
            "ratio() argument 'score_cutoff' must be float, not str",
        ),
        (
            lambda: _orvel.ratio("a", "b", score_cutoff=10**400),
            OverflowError,
            "ratio() argument 'score_cutoff' is too large to convert to float",
        ),
    ],
)
def test_conversion_errors(call, error, message):
    with pytest.raises(error) as info:
        call()
    assert type(info.value) is error
    assert str(info.value) == message


def test_conversion_runs_in_parameter_order():
    # Both arguments are bad: the earlier parameter's error wins.
    with pytest.raises(TypeError, match="'left'"):
        _orvel.distance(1, 2, score_cutoff=-1)
    with pytest.raises(OverflowError, match="'score_cutoff'"):
        _orvel.distance("a", "b", score_cutoff=-1)
    with pytest.raises(TypeError, match="'right_paths'"):
        _orvel.distance_paths([], "x")


def test_index_errors_other_than_type_errors_pass_through():
    class Broken:
        def __index__(self):
            raise RuntimeError("broken index")

    with pytest.raises(RuntimeError, match="broken index"):
        _orvel.within_distance_paths(["a"], ["b"], Broken())


def test_unencodable_text_is_refused_before_the_computation():
    with pytest.raises(UnicodeEncodeError):
        _orvel.distance("\ud800", "a")
    with pytest.raises(UnicodeEncodeError):
        _orvel._cdist_distance(["a"], ["\udfff"])


def test_lists_are_read_once_before_the_computation():
    class Shrinking(Sequence):
        """Reports a length it does not have after the first read."""

        def __init__(self):
            self.calls = 0

        def __len__(self):
            self.calls += 1
            return 3 if self.calls == 1 else 1

        def __getitem__(self, i):
            if i >= 1:
                raise IndexError(i)
            return "ab"

    assert _orvel.distance_paths(Shrinking(), ["ab"]) == 0
