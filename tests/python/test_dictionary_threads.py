"""One dictionary object used by several threads at once."""

import threading

from test_dictionary_fixtures import ja, zh  # noqa: F401


def test_threads_sharing_dictionaries_get_the_results_of_one_thread(ja, zh):
    ja_texts = ["東京", "とうきょう", "tokyo", "日本", "にっぽん", "先生", "東京に行く", "京都"]
    zh_texts = ["北京", "beijing", "bei3jing1", "重庆", "银行", "行", "长城"]

    def workload():
        return (
            [ja.distance(a, b, score_cutoff=3) for a in ja_texts for b in ja_texts],
            [zh.normalized_similarity(a, b) for a in zh_texts for b in zh_texts],
            ja._cdist_combined_distance(ja_texts, ja_texts),
            zh._cdist_normalized_distance(zh_texts, zh_texts, longest_only=True),
            [ja._partial_ratio_alignment(q, "私は東京に行きたい", 3) for q in ja_texts[:4]],
            [zh._partial_distance_alignment(q, "我爱北京天安门", 0) for q in zh_texts[:3]],
            [ja.within_damerau_distance(a, "toukyou", 2) for a in ja_texts],
        )

    expected = workload()
    results = [None] * 6
    start = threading.Barrier(len(results))

    def run(i):
        start.wait()
        results[i] = [workload() for _ in range(3)]

    threads = [threading.Thread(target=run, args=(i,)) for i in range(len(results))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results == [[expected] * 3] * len(results)
