"""Every dictionary method on real sentences with the sample bundles gives
the value or error recorded before the reading sets and the lattice
similarity replaced the string lists (tests/data/dictionary_values.json,
made by record_dictionary_values.py from the module of that time).

One difference is intended: the span searches now compare reduced span
lattices (the same strings on far fewer nodes), so a span distance that used
to exceed the 16,000,000-cell limit may now be computed. Such a record must
still fail the same way or give a span of the text.
"""

import json
from pathlib import Path

import pytest

import _orvel

ROOT = Path(__file__).resolve().parents[2]
RECORDS = json.loads((ROOT / "tests" / "data" / "dictionary_values.json").read_text(encoding="utf-8"))


def decode(value):
    if isinstance(value, dict):
        return float(value["float"])
    if isinstance(value, list):
        return [decode(v) for v in value]
    return value


@pytest.fixture(scope="module")
def dictionaries():
    return {
        "JapaneseDictionary": _orvel.JapaneseDictionary.load_bundle(
            str(ROOT / "bundles" / "ja-unidic-sample" / "metadata.yaml")),
        "ChineseDictionary": _orvel.ChineseDictionary.load_bundle(
            str(ROOT / "bundles" / "zh-cedict-sample" / "metadata.yaml")),
    }


def test_every_recorded_call_gives_the_same_outcome(dictionaries):
    mismatches = []
    for cls, method, args, kwargs, expected in RECORDS:
        call = getattr(dictionaries[cls], method)
        try:
            value = call(*args, **kwargs)
            got = ["value", list(value) if isinstance(value, tuple) else value]
        except (ValueError, TypeError) as e:
            got = ["error", type(e).__name__, str(e)]
        want = ["value", decode(expected[1])] if expected[0] == "value" else expected
        if want[0] == "error" and "exceeds the maximum of 16000000 cells" in want[2] and got[0] == "value" \
                and got[1] is not None:
            score, query_start, query_end, start, end = got[1]
            if query_start == 0 and query_end == len(args[0]) and 0 <= start <= end <= len(args[1]):
                continue
        if got != want:
            mismatches.append((cls, method, args, kwargs, want, got))
    assert not mismatches, mismatches[:10]
    assert len(RECORDS) > 300
