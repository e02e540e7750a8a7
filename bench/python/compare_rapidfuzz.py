"""Times orvel's string metrics beside rapidfuzz's counterparts in one run.

Not a test: run it by hand against an installed (or PYTHONPATH-reachable)
module, with rapidfuzz and numpy (which rapidfuzz.process.cdist needs)
installed beside it, e.g.

    python bench/python/compare_rapidfuzz.py [--pairs 20000] [--matrix 1000]

Inputs are seeded, so runs compare like with like. Each line gives the best
of several repeats (processor time of this process) for orvel and for
rapidfuzz and their ratio (orvel time divided by rapidfuzz time; below 1
means orvel is faster). Times on a shared machine still move with its load;
the instruction counts do not.

With valgrind installed, the instructions of one call above an empty call
(a call of operator.is_ with the same arguments) follow, counted by
callgrind in a child interpreter for each function (--no-instructions
skips them).
"""

import argparse
import operator
import os
import random
import re
import subprocess
import sys
import tempfile
import time
import timeit

import _orvel
# OSA is the restricted Damerau distance (no edit inside a swapped pair),
# the peer of damerau_distance.
from rapidfuzz.distance import Levenshtein, OSA
from rapidfuzz.process import cdist

LETTERS = "abcdefghijklmnopqrstuvwxyz"


def texts(rng, count, lengths, alphabet=LETTERS):
    return ["".join(rng.choice(alphabet) for _ in range(rng.randint(*lengths))) for _ in range(count)]


def near_copy(rng, text, edits):
    chars = list(text)
    for _ in range(edits):
        at = rng.randrange(len(chars))
        chars[at] = rng.choice(LETTERS)
    return "".join(chars)


def best_of(function, repeat):
    # Processor time of this process: both sides run on the calling thread,
    # and other programs on a shared machine stretch wall-clock time only.
    return min(timeit.Timer(function, timer=time.process_time).repeat(number=1, repeat=repeat))


def report(name, ours, theirs):
    print(f"{name:<44} orvel {ours * 1e3:9.2f} ms   rapidfuzz {theirs * 1e3:9.2f} ms   ratio {ours / theirs:6.2f}")


# Instructions per call: a child interpreter makes `calls` calls of one
# function under callgrind; the same loop over operator.is_ is subtracted.
CHILD = """
import sys, operator
sys.path[:0] = {path!r}
{setup}
f = {function}
a, b = {left!r}, {right!r}
kw = {kwargs!r}
for _ in range(200):
    f(a, b, **kw)
"""


def callgrind_instructions(setup, function, left, right, kwargs, calls):
    child = CHILD.replace("range(200)", f"range({calls})")
    script = child.format(path=sys.path, setup=setup, function=function, left=left, right=right, kwargs=kwargs)
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        subprocess.run(
            ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", sys.executable, "-c", script],
            check=True,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        with open(out) as f:
            for line in f:
                match = re.match(r"summary:\s+(\d+)", line) or re.match(r"totals:\s+(\d+)", line)
                if match:
                    return int(match.group(1))
    raise RuntimeError("no callgrind summary")


def instructions_per_call(setup, function, left, right, kwargs, calls=20000):
    # Two loop lengths cancel the interpreter's start-up; the empty call
    # cancels the loop and the call machinery.
    def per_call(fn, use_kwargs):
        kw = kwargs if use_kwargs else {}
        many = callgrind_instructions(setup, fn, left, right, kw, calls)
        few = callgrind_instructions(setup, fn, left, right, kw, calls // 10)
        return (many - few) / (calls - calls // 10)

    return per_call(function, True) - per_call("operator.is_", False)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pairs", type=int, default=20000, help="pairs for the pairwise metrics")
    parser.add_argument("--matrix", type=int, default=1000, help="queries and choices of the matrices")
    parser.add_argument("--long", type=int, default=100000, help="characters of the long texts")
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--no-instructions", action="store_true", help="skip the callgrind counts")
    args = parser.parse_args()

    rng = random.Random(42)
    pairs = list(zip(texts(rng, args.pairs, (6, 14)), texts(rng, args.pairs, (6, 14))))
    cases = [
        (
            f"distance ({args.pairs} pairs of 6-14)",
            lambda: [_orvel.distance(a, b) for a, b in pairs],
            lambda: [Levenshtein.distance(a, b) for a, b in pairs],
        ),
        (
            f"damerau_distance ({args.pairs} pairs)",
            lambda: [_orvel.damerau_distance(a, b) for a, b in pairs],
            lambda: [OSA.distance(a, b) for a, b in pairs],
        ),
        (
            f"normalized_similarity ({args.pairs} pairs)",
            lambda: [_orvel.normalized_similarity(a, b) for a, b in pairs],
            lambda: [Levenshtein.normalized_similarity(a, b) for a, b in pairs],
        ),
    ]
    n = args.matrix
    for lengths in [(6, 14), (4, 8), (20, 30)]:
        queries = texts(rng, n, lengths)
        choices = texts(rng, n, lengths)
        label = f"{lengths[0]}-{lengths[1]}"
        cases.append(
            (
                f"_cdist_distance ({n}x{n}, {label})",
                lambda q=queries, c=choices: _orvel._cdist_distance(q, c),
                # One worker: orvel's matrix runs on the calling thread.
                lambda q=queries, c=choices: cdist(q, c, scorer=Levenshtein.distance, workers=1),
            )
        )
        if lengths == (6, 14):
            cases.append(
                (
                    f"_cdist_distance ({n}x{n}, {label}, cutoff 2)",
                    lambda q=queries, c=choices: _orvel._cdist_distance(q, c, score_cutoff=2),
                    lambda q=queries, c=choices: cdist(
                        q, c, scorer=Levenshtein.distance, score_cutoff=2, workers=1
                    ),
                )
            )
            cases.append(
                (
                    f"_cdist_damerau_distance ({n}x{n}, {label})",
                    lambda q=queries, c=choices: _orvel._cdist_damerau_distance(q, c),
                    lambda q=queries, c=choices: cdist(q, c, scorer=OSA.distance, workers=1),
                )
            )

    unrelated = ("a" * args.long, "b" * args.long)
    long_text = "".join(rng.choice(LETTERS) for _ in range(args.long))
    close = (long_text, near_copy(rng, long_text, 2))
    for name, (a, b) in [("unrelated", unrelated), ("2 edits", close)]:
        cases.append(
            (
                f"distance {args.long} chars, cutoff 3, {name}",
                lambda a=a, b=b: _orvel.distance(a, b, score_cutoff=3),
                lambda a=a, b=b: Levenshtein.distance(a, b, score_cutoff=3),
            )
        )

    # Same answers first, then the timings.
    sample = pairs[:500]
    assert [_orvel.distance(a, b) for a, b in sample] == [Levenshtein.distance(a, b) for a, b in sample]
    assert [_orvel.damerau_distance(a, b) for a, b in sample] == [OSA.distance(a, b) for a, b in sample]
    q, c = texts(rng, 50, (1, 70)), texts(rng, 60, (0, 70))
    assert _orvel._cdist_distance(q, c) == cdist(q, c, scorer=Levenshtein.distance, workers=1).tolist()
    assert _orvel.distance(*close, score_cutoff=3) == Levenshtein.distance(*close, score_cutoff=3)

    print(f"load average before: {os.getloadavg()[0]:.2f} (a loaded machine stretches both sides)")
    for name, ours, theirs in cases:
        report(name, best_of(ours, args.repeat), best_of(theirs, args.repeat))

    if args.no_instructions:
        return
    print("instructions per call above an empty call (callgrind):")
    left, right = "abcdefgh", "abcdxfgh"
    for ours, theirs, kwargs in [
        ("_orvel.distance", "Levenshtein.distance", {}),
        ("_orvel.damerau_distance", "OSA.distance", {}),
        ("_orvel.normalized_similarity", "Levenshtein.normalized_similarity", {}),
        ("_orvel.distance", "Levenshtein.distance", {"score_cutoff": 2}),
    ]:
        setup = "import _orvel\nfrom rapidfuzz.distance import Levenshtein, OSA"
        mine = instructions_per_call(setup, ours, left, right, kwargs)
        peer = instructions_per_call(setup, theirs, left, right, kwargs)
        suffix = f", {kwargs}" if kwargs else ""
        print(f"  {ours}{suffix:<20} {mine:8.0f}   {theirs}: {peer:8.0f}   ratio {mine / peer:5.2f}")


if __name__ == "__main__":
    main()
