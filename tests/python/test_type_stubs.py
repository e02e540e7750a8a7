"""The installed type stubs are the ones a type checker finds for _orvel.

The stubs' agreement with the module itself (names, parameters, kinds) is
checked by mypy's stubtest in scripts/test.sh; here mypy checks a program
that uses the module, from a directory that holds no stubs of its own.
"""

import subprocess
import sys
import textwrap

PROGRAM = textwrap.dedent(
    """
    import _orvel

    ja = _orvel.JapaneseDictionary.load_payload("payload.yaml")
    reveal_type(_orvel._cdist_normalized_similarity(["a"], ("b",)))
    reveal_type(ja._partial_distance_alignment("a", "b", 0))
    reveal_type(_orvel.ChineseDictionary.load_bundle("bundle").pinyin_view)
    _orvel.distance(1, "b")
    _orvel.distance_paths(["a"], ["b"], threshold=1)
    """
)


def test_mypy_reads_the_installed_stubs(tmp_path):
    (tmp_path / "program.py").write_text(PROGRAM, encoding="utf-8")
    result = subprocess.run(
        [sys.executable, "-m", "mypy", "--cache-dir", "/dev/null", "--no-error-summary", "program.py"],
        cwd=tmp_path,
        capture_output=True,
        text=True,
        check=False,
    )
    # Older mypy releases write builtin types with their module; notes that
    # only point at a definition are left out.
    lines = [
        line.replace("builtins.", "")
        for line in result.stdout.splitlines()
        if ": error: " in line or "Revealed type" in line
    ]
    assert lines == [
        'program.py:5: note: Revealed type is "list[list[float]]"',
        'program.py:6: note: Revealed type is "tuple[int, int, int, int, int] | None"',
        'program.py:7: note: Revealed type is "str | None"',
        'program.py:8: error: Argument 1 to "distance" has incompatible type "int"; expected "str"  [arg-type]',
        'program.py:9: error: Unexpected keyword argument "threshold" for "distance_paths"  [call-arg]',
    ], result.stdout + result.stderr
