"""When a run's steps happened, seen from outside the process. The component appends a line to
its step file (SEPA_PHASE_TIMINGS) as each step ends, with the step's seconds; a watcher that
looks at the file's size every few milliseconds learns when each line came, so each step's
start and end on this machine's monotonic clock, which perf can record with too (-k mono).
From these the run falls into windows: before the component's first step (Wine's start, the
runner reading the CSV and making the payment objects, loading the component), validation,
the time between validation and the file (the payment details dialog, the host's settings),
the file steps, and after the last step (the runner's report, the program's end)."""

import threading
import time
from pathlib import Path

INTERVAL_S = 0.005
BEFORE = "before the component"
VALIDATION = "validation"
BETWEEN = "dialog and settings"
FILE = "file steps"
AFTER = "after the component"
WINDOWS = [BEFORE, VALIDATION, BETWEEN, FILE, AFTER]
FIRST_FILE_STEP, LAST_FILE_STEP = "stylesheet", "release"


class StepWatcher:
    """Use around a run: with StepWatcher(path) as watch: ...; then watch.windows()."""

    def __init__(self, path):
        self.path = Path(path)
        self.seen = []  # (monotonic time, size) whenever the size changed
        self.start = self.end = None
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def __enter__(self):
        self.start = time.monotonic()
        self._thread.start()
        return self

    def __exit__(self, *_):
        self.end = time.monotonic()
        self._stop.set()
        self._thread.join()
        return False

    def _watch(self):
        size = -1
        while not self._stop.wait(INTERVAL_S):
            try:
                now = self.path.stat().st_size
            except OSError:
                continue
            if now != size:
                size = now
                self.seen.append((time.monotonic(), size))

    def step_ends(self):
        """[(step, seconds, monotonic time its line was seen)] in the file's order."""
        try:
            data = self.path.read_bytes()
        except OSError:
            return []
        steps, offset = [], 0
        for line in data.splitlines(keepends=True):
            offset += len(line)
            fields = line.split()
            seen = next((at for at, size in self.seen if size >= offset), self.end)
            if len(fields) >= 2:
                steps.append((fields[0].decode(errors="replace"), float(fields[1]), seen))
        return steps

    def windows(self):
        """{window: (start, end)} in monotonic seconds, or {} when a step is missing."""
        ends = {name: (seconds, seen) for name, seconds, seen in self.step_ends()}
        if not all(name in ends for name in (VALIDATION, FIRST_FILE_STEP, LAST_FILE_STEP)):
            return {}
        validation_seconds, validation_end = ends[VALIDATION]
        stylesheet_seconds, stylesheet_end = ends[FIRST_FILE_STEP]
        file_end = ends[LAST_FILE_STEP][1]
        marks = [self.start, validation_end - validation_seconds, validation_end,
                 stylesheet_end - stylesheet_seconds, file_end, self.end]
        # The watcher sees a line up to an interval late; keep the windows in order.
        for i in range(1, len(marks)):
            marks[i] = min(max(marks[i], marks[i - 1]), self.end)
        return {name: (marks[i], marks[i + 1]) for i, name in enumerate(WINDOWS)}


def durations(windows):
    return {name: end - start for name, (start, end) in windows.items()}
