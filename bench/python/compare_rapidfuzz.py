"""Times orvel's string metrics beside rapidfuzz's counterparts in one run.

Not a test: run it by hand against an installed module, with rapidfuzz and
numpy (which rapidfuzz.process.cdist needs) installed beside it, e.g.

    python bench/python/compare_rapidfuzz.py [--pairs 20000] [--matrix 1000]

Inputs are seeded, so runs compare like with like. Each line gives the best
of several repeats for orvel and for rapidfuzz and their ratio (orvel time
divided by rapidfuzz time; below 1 means orvel is faster).
"""

import argparse
import random
import timeit

import _orvel
from rapidfuzz.distance import Levenshtein
from rapidfuzz.process import cdist


def short_texts(rng, count, alphabet="abcdefghijklmnopqrstuvwxyz\u3042\u3044\u3046", lengths=(3, 16)):
    return ["".join(rng.choice(alphabet) for _ in range(rng.randint(*lengths))) for _ in range(count)]


def best_of(function, repeat):
    return min(timeit.repeat(function, number=1, repeat=repeat))


def report(name, ours, theirs):
    print(f"{name:<34} orvel {ours * 1e3:9.2f} ms   rapidfuzz {theirs * 1e3:9.2f} ms   ratio {ours / theirs:6.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pairs", type=int, default=20000, help="pairs for the pairwise metrics")
    parser.add_argument("--matrix", type=int, default=1000, help="queries and choices of the matrix")
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()

    rng = random.Random(42)
    left = short_texts(rng, args.pairs)
    right = short_texts(rng, args.pairs)
    pairs = list(zip(left, right))
    long_pairs = list(zip(short_texts(rng, 200, lengths=(200, 400)), short_texts(rng, 200, lengths=(200, 400))))

    cases = [
        (
            f"distance ({args.pairs} short pairs)",
            lambda: [_orvel.distance(a, b) for a, b in pairs],
            lambda: [Levenshtein.distance(a, b) for a, b in pairs],
        ),
        (
            f"distance, cutoff 2",
            lambda: [_orvel.distance(a, b, score_cutoff=2) for a, b in pairs],
            lambda: [Levenshtein.distance(a, b, score_cutoff=2) for a, b in pairs],
        ),
        (
            "distance (200 pairs of 200-400)",
            lambda: [_orvel.distance(a, b) for a, b in long_pairs],
            lambda: [Levenshtein.distance(a, b) for a, b in long_pairs],
        ),
        (
            f"normalized_similarity ({args.pairs})",
            lambda: [_orvel.normalized_similarity(a, b) for a, b in pairs],
            lambda: [Levenshtein.normalized_similarity(a, b) for a, b in pairs],
        ),
    ]
    queries = short_texts(rng, args.matrix)
    choices = short_texts(rng, args.matrix)
    cases.append(
        (
            f"_cdist_distance ({args.matrix}x{args.matrix})",
            lambda: _orvel._cdist_distance(queries, choices),
            # One worker: orvel's matrix runs on the calling thread.
            lambda: cdist(queries, choices, scorer=Levenshtein.distance, workers=1),
        )
    )

    # Same answers first, then the timings.
    assert [_orvel.distance(a, b) for a, b in pairs[:500]] == [Levenshtein.distance(a, b) for a, b in pairs[:500]]
    for name, ours, theirs in cases:
        report(name, best_of(ours, args.repeat), best_of(theirs, args.repeat))


if __name__ == "__main__":
    main()
