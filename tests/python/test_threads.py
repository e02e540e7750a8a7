import random
import sys
import threading

import _orvel


def test_threads_get_the_same_results_as_one_thread():
    rng = random.Random(9)
    texts = ["".join(rng.choice("abc\u3042") for _ in range(rng.randrange(30))) for _ in range(60)]

    def workload():
        return (
            [_orvel.distance(a, b, score_cutoff=5) for a, b in zip(texts, reversed(texts))],
            [_orvel.normalized_similarity(a, b) for a, b in zip(texts, texts[1:])],
            _orvel._cdist_damerau_distance(texts[:20], texts[20:40]),
            [_orvel.distance_paths([t + "x" for t in texts[i : i + 3]], ["abc"]) for i in range(50)],
            [_orvel._partial_ratio_alignment("abc", t, 4) for t in texts],
        )

    expected = workload()
    results = [None] * 6
    start = threading.Barrier(len(results))

    def run(i):
        start.wait()
        results[i] = [workload() for _ in range(5)]

    threads = [threading.Thread(target=run, args=(i,)) for i in range(len(results))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for per_thread in results:
        assert per_thread == [expected] * 5


def test_a_long_computation_lets_other_threads_run():
    # With a huge switch interval this thread keeps the lock unless a call
    # releases it; the other thread can only count while that happens.
    ticks = 0
    stop = threading.Event()
    go = threading.Event()

    def count():
        nonlocal ticks
        go.wait()
        while not stop.is_set():
            ticks += 1
            stop.wait(0.0005)

    left, right = "ab" * 1500, "ba" * 1500
    counter = threading.Thread(target=count)
    counter.start()
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    try:
        go.set()
        seen = 0
        for _ in range(100):
            _orvel.distance(left, right)
            seen = ticks
            if seen:
                break
    finally:
        sys.setswitchinterval(interval)
        stop.set()
        counter.join()
    assert seen > 0
