"""Calls that cannot get the memory they need raise MemoryError, whichever
function or method is called, and the interpreter goes on."""

import pytest

from test_dictionary_fixtures import JA_BUNDLE, JA_SMALL, ZH_SMALL

JA_PAYLOAD = JA_BUNDLE / "payload" / "readings.idx"
from test_hostile_files import UNDER_SANITIZER, run_isolated


@pytest.mark.skipif(UNDER_SANITIZER, reason="address-space cap")
def test_memory_pressure_raises_memory_error_at_every_entry():
    # Each call must copy a 300 MB text it cannot get memory for; the
    # interpreter survives every one of them.
    calls = [
        "_orvel.distance(big, 'b')",
        "_orvel._cdist_distance([big], ['b'])",
        "_orvel.distance_paths([big], ['b'])",
        "_orvel._partial_ratio_alignment(big, 'b', 8)",
        "ja.distance(big, 'b')",
        "zh._cdist_distance(['a'], [big])",
    ]
    out = run_isolated(f"""
        import _orvel
        ja = _orvel.JapaneseDictionary.load_payload({str(JA_SMALL)!r})
        zh = _orvel.ChineseDictionary.load_payload({str(ZH_SMALL)!r})
        big = "a" * 300_000_000
        cap_address_space(64 << 20)
        for call in {calls!r}:
            try:
                eval(call)
                print("no error")
            except MemoryError:
                print("MemoryError")
        print(_orvel.distance("abc", "abd"))
    """)
    assert out.split() == ["MemoryError"] * len(calls) + ["1"]


@pytest.mark.skipif(UNDER_SANITIZER, reason="address-space cap")
def test_memory_pressure_while_loading_raises_memory_error():
    # The payload of the shipped Japanese bundle is about 1 MB: the read
    # alone cannot get its buffer.
    out = run_isolated(f"""
        import _orvel
        cap_address_space(256 << 10)
        for load in (lambda: _orvel.JapaneseDictionary.load_payload({str(JA_PAYLOAD)!r}, "indexed"),
                     lambda: _orvel.JapaneseDictionary.load_bundle({str(JA_BUNDLE)!r})):
            try:
                load()
                print("loaded")
            except MemoryError:
                print("MemoryError")
    """)
    assert out.split() == ["MemoryError", "MemoryError"]
