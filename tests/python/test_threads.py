import random
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
