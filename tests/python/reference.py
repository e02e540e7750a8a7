"""Plain reference implementations the module's results are checked against."""


def levenshtein(a, b):
    previous = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        current = [i]
        for j, cb in enumerate(b, 1):
            current.append(min(previous[j - 1] + (ca != cb), previous[j] + 1, current[j - 1] + 1))
        previous = current
    return previous[-1]


def osa(a, b):
    """Restricted Damerau (optimal string alignment) distance."""
    d = [[0] * (len(b) + 1) for _ in range(len(a) + 1)]
    for i in range(len(a) + 1):
        d[i][0] = i
    for j in range(len(b) + 1):
        d[0][j] = j
    for i in range(1, len(a) + 1):
        for j in range(1, len(b) + 1):
            d[i][j] = min(d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1]))
            if i > 1 and j > 1 and a[i - 1] == b[j - 2] and a[i - 2] == b[j - 1]:
                d[i][j] = min(d[i][j], d[i - 2][j - 2] + 1)
    return d[-1][-1]


def similarity(a, b):
    m = max(len(a), len(b))
    if m == 0:
        return 1.0
    return min(max(1.0 - levenshtein(a, b) / m, 0.0), 1.0)


def with_cutoff(d, k):
    if k is None or d <= k:
        return d
    return min(k + 1, 2**64 - 1)


def spans(text, limit, query_is_empty):
    n = len(text)
    if query_is_empty or limit == 0 or n == 0:
        yield 0, 0
        return
    for start in range(n):
        for end in range(start + 1, min(start + limit, n) + 1):
            yield start, end


def best_span(query, text, limit, score, better):
    """(score, 0, len(query), start, end) of the best candidate span, or None.

    `score(span)` gives a span's score, or None when the span is no
    candidate; `better(a, b)` tells whether score a beats score b. Ties go to
    the shorter span, then to the earlier one.
    """
    best = None
    for start, end in spans(text, limit, not query):
        s = score(text[start:end])
        if s is None:
            continue
        if best is None or better(s, best[0]) or (s == best[0] and end - start < best[4] - best[3]):
            best = (s, 0, len(query), start, end)
    return best


def partial_ratio(query, text, limit, cutoff=None):
    def score(span):
        s = similarity(query, span)
        if cutoff is not None and s < cutoff:
            s = 0.0
        return s if s > 0.0 else None

    return best_span(query, text, limit, score, lambda a, b: a > b)


def partial_distance(query, text, limit, cutoff=None):
    def score(span):
        d = levenshtein(query, span)
        return d if cutoff is None or d <= cutoff else None

    return best_span(query, text, limit, score, lambda a, b: a < b)
