"""Every family of calls releases the interpreter lock for its computation:
pairwise metrics, path-list metrics, matrices, span searches and the
dictionary methods of both classes."""

import sys
import threading

import pytest

import _orvel
from test_dictionary_fixtures import JA_SMALL, ZH_SMALL

LEFT, RIGHT = "ab" * 1500, "ba" * 1500


@pytest.fixture(scope="module")
def ja():
    return _orvel.JapaneseDictionary.load_payload(str(JA_SMALL))


@pytest.fixture(scope="module")
def zh():
    return _orvel.ChineseDictionary.load_payload(str(ZH_SMALL))


CALLS = {
    "pairwise distance": lambda ja, zh: _orvel.distance(LEFT, RIGHT),
    "pairwise": lambda ja, zh: _orvel.normalized_similarity(LEFT, RIGHT),
    "paths": lambda ja, zh: _orvel.distance_paths([LEFT], [RIGHT]),
    "matrix": lambda ja, zh: _orvel._cdist_damerau_distance([LEFT, RIGHT], [RIGHT]),
    "span search": lambda ja, zh: _orvel._partial_ratio_alignment("ab" * 20, LEFT, 64),
    "Japanese method": lambda ja, zh: ja.distance("とうきょう" * 300, "toukyou" * 300),
    "Japanese matrix method": lambda ja, zh: ja._cdist_distance(["とうきょう" * 300], ["toukyou" * 300]),
    "Chinese span method": lambda ja, zh: zh._partial_ratio_alignment("yin2hang2", "银行" * 400, 8),
}


@pytest.mark.parametrize("family", list(CALLS))
def test_the_lock_is_released_while_a_call_computes(family, ja, zh):
    # With a huge switch interval this thread keeps the lock unless a call
    # releases it; the other thread can only count while that happens.
    call = CALLS[family]
    ticks = 0
    stop = threading.Event()
    go = threading.Event()

    def count():
        nonlocal ticks
        go.wait()
        while not stop.is_set():
            ticks += 1
            stop.wait(0.0005)

    counter = threading.Thread(target=count)
    counter.start()
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    try:
        go.set()
        seen = 0
        for _ in range(200):
            call(ja, zh)
            seen = ticks
            if seen:
                break
    finally:
        sys.setswitchinterval(interval)
        stop.set()
        counter.join()
    assert seen > 0
