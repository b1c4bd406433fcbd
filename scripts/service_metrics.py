"""The service's own figures from GET /metrics, for the load scripts.

scrape(port) reads the Prometheus text format into {(name, labels): value};
delta(before, after, name, **labels) is how much a sample grew between two scrapes;
report(name, before, after) prints a histogram's requests between two scrapes with
quantiles estimated from its buckets as Prometheus' histogram_quantile does;
Scraper scrapes once a second in a thread of its own, as a Prometheus server would.
"""

import http.client
import math
import re
import threading
import time

SAMPLE = re.compile(r'^([a-zA-Z_:][a-zA-Z0-9_:]*)(?:\{(.*)\})?\s+(\S+)$')
LABEL = re.compile(r'([a-zA-Z_][a-zA-Z0-9_]*)="((?:[^"\\]|\\.)*)"')


def scrape(port, timeout=10):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    try:
        connection.request("GET", "/metrics")
        response = connection.getresponse()
        text = response.read().decode()
        if response.status != 200:
            raise RuntimeError(f"/metrics answered {response.status}")
    finally:
        connection.close()
    samples = {}
    for line in text.splitlines():
        match = SAMPLE.match(line)
        if not match or line.startswith("#"):
            continue
        labels = tuple(sorted(LABEL.findall(match.group(2) or "")))
        samples[(match.group(1), labels)] = float(match.group(3))
    return samples


def delta(before, after, name, **labels):
    """How much the sample `name`{labels} grew between two scrapes."""
    key = (name, tuple(sorted(labels.items())))
    return after.get(key, 0) - before.get(key, 0)


def buckets(samples, name):
    """[(upper bound, cumulative count)] of a histogram, +Inf last."""
    found = []
    for (sample, labels), value in samples.items():
        if sample == name + "_bucket":
            bound = dict(labels)["le"]
            found.append((math.inf if bound == "+Inf" else float(bound), value))
    return sorted(found)


def quantile(q, cumulative):
    """histogram_quantile: linear within the bucket the rank falls in."""
    total = cumulative[-1][1] if cumulative else 0
    if total == 0:
        return math.nan
    rank = q * total
    lower_bound, lower_count = 0.0, 0.0
    for bound, count in cumulative:
        if count >= rank:
            if math.isinf(bound):
                return lower_bound
            return lower_bound + (bound - lower_bound) * (rank - lower_count) / max(count - lower_count, 1e-12)
        lower_bound, lower_count = bound, count
    return lower_bound


def report(label, name, before, after):
    """Prints the histogram `name`'s requests between two scrapes."""
    first = dict(buckets(before, name))
    difference = [(bound, count - first.get(bound, 0)) for bound, count in buckets(after, name)]
    count = difference[-1][1] if difference else 0
    seconds = delta(before, after, name + "_sum")
    line = f"{label:14} service side: {count:8.0f} requests"
    if count:
        line += (f"  mean {seconds / count * 1000:7.2f}  p50 {quantile(0.5, difference) * 1000:7.2f}"
                 f"  p95 {quantile(0.95, difference) * 1000:7.2f}  p99 {quantile(0.99, difference) * 1000:7.2f} ms")
    print(line, flush=True)


class Scraper:
    """Scrapes /metrics every `interval` seconds until stopped; counts scrapes and their times."""

    def __init__(self, port, interval=1.0):
        self.port = port
        self.interval = interval
        self.times = []
        self.failures = 0
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *_):
        self.stopping.set()
        self.thread.join()

    def run(self):
        while not self.stopping.is_set():
            started = time.monotonic()
            try:
                scrape(self.port)
                self.times.append(time.monotonic() - started)
            except (OSError, RuntimeError, http.client.HTTPException):
                self.failures += 1
            self.stopping.wait(max(0.0, self.interval - (time.monotonic() - started)))

    def summary(self):
        if not self.times:
            return f"{self.failures} scrapes failed"
        return (f"{len(self.times)} scrapes, longest {max(self.times) * 1000:.1f} ms"
                + (f", {self.failures} failed" if self.failures else ""))
