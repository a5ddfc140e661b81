"""The window against the ear, for bench/window_heard.sh: runs the window probe
(window_heard_bench) once per round while a reader keeps what the pipe sink plays and when,
then finds in the sound where each song begins (the songs' levels differ from their
neighbours') and lays the probe's title changes, heard announcements and clicks beside it.

Usage: window_heard.py PROBE WORK SONG_SECONDS ROUNDS [picture] [next-before MS]
WORK holds the album (WORK/album) and the sink's pipe (WORK/pipe)."""
import os
import statistics
import subprocess
import sys
import time

from pipe_sink import RATE, PipeSink

LEVELS = [0.6, 0.15, 0.35]  # of song 1, 2, 3, then again
BLOCK = 100  # frames, about one period of the songs' 440 Hz

probe, work, seconds, rounds = sys.argv[1], sys.argv[2], float(sys.argv[3]), int(sys.argv[4])
extra = sys.argv[5:]
next_before = int(extra[extra.index("next-before") + 1]) if "next-before" in extra else None
song_frames = round(seconds * RATE)

def songs_in(left):
    """(first frame, frames) of each song heard, in order: blocks classed by level, runs of
    one class, each start refined to the sample."""
    peaks = [max(map(abs, left[i : i + BLOCK]), default=0) for i in range(0, len(left), BLOCK)]
    top = max(peaks, default=0)
    if top == 0:
        return []
    rel = [level / max(LEVELS) for level in LEVELS]
    classes = []
    for p in peaks:
        x = p / top
        classes.append(-1 if x < 0.05 else min(range(len(rel)), key=lambda c: abs(rel[c] - x)))
    runs = []  # [class, first block, last block]
    for i, c in enumerate(classes):
        if runs and runs[-1][0] == c:
            runs[-1][2] = i
        else:
            runs.append([c, i, i])
    # A block across a join takes the louder level: runs of one or two blocks are not songs.
    runs = [r for r in runs if r[0] >= 0 and r[2] - r[1] >= 3]
    songs = []
    for k, (c, b0, b1) in enumerate(runs):
        start = b0 * BLOCK
        if k > 0 and runs[k - 1][2] + 4 >= b0:
            # At a join: where the level crosses the middle of the two songs' levels.
            before = rel[runs[k - 1][0]]
            mid = (before + rel[c]) / 2 * top
            lo, hi = max(0, (b0 - 2) * BLOCK), min(len(left), (b0 + 2) * BLOCK)
            if rel[c] > before:
                start = next((i for i in range(lo, hi) if abs(left[i]) > mid), start)
            else:
                last = max((i for i in range(lo, hi) if abs(left[i]) > mid), default=start - 1)
                start = last + 1
        else:
            start = next(i for i in range(max(0, (b0 - 1) * BLOCK), len(left)) if left[i] != 0)
        songs.append([start, 0])
    for k in range(len(songs)):
        end = songs[k + 1][0] if k + 1 < len(songs) else (runs[k][2] + 1) * BLOCK
        songs[k][1] = end - songs[k][0]
    return songs


def longest_silence(left, around):
    """The longest run of zero samples within 20 ms of frame `around`."""
    best = run = 0
    for v in left[max(0, around - RATE // 50) : around + RATE // 50]:
        run = run + 1 if v == 0 else 0
        best = max(best, run)
    return best


def first_line(lines, kind, song):
    """The time of the first line of kind naming song k (its title "Sk" or file)."""
    disc, index = (song - 1) // 3 + 1, (song - 1) % 3 + 1
    for t, k, text in lines:
        if k == kind and (text.endswith("S%d" % song) or text.endswith("%d Disc/0%d.mp3" % (disc, index))):
            return t
    return None


sink = PipeSink(os.path.join(work, "pipe"))
time.sleep(0.5)
lags, announced, silences, whole, clicks = [], [], [], [], []
# The probe clicks by its own clock, from the first song's announcement, which comes late by
# a varying amount: each round corrects the next by half of how far its click missed.
correction = 0.0
for r in range(rounds):
    if next_before is not None:
        extra = ["next-before", str(round(next_before + correction))]
    first = sink.frames()
    start = time.monotonic()
    p = subprocess.Popen([probe, os.path.join(work, "album"), str(round(seconds * 1000))] + extra,
                         stdout=subprocess.PIPE, text=True, bufsize=1)
    lines = []
    for line in p.stdout:
        kind, t, text = (line.rstrip("\n").split(" ", 2) + [""])[:3]
        lines.append((float(t), kind, text))
        if kind == "message":
            print("round %d: the player said %r" % (r + 1, text))
    p.wait()
    time.sleep(0.6)
    left, clock = sink.since(first, start)
    songs = songs_in(left)
    if clock is None or len(songs) != 6:
        print("round %d: %d songs heard, not 6" % (r + 1, len(songs)))
        continue
    report = []
    for k in range(1, 6):
        heard = clock + songs[k][0] / RATE
        title = first_line(lines, "title", k + 1)
        told = first_line(lines, "heard", k + 1)
        if title is None or told is None:
            report.append("song %d: no title or announcement" % (k + 1))
            continue
        lag, late = (title - heard) * 1000, (told - heard) * 1000
        silence = longest_silence(left, songs[k][0])
        if next_before is None or k > 1:
            lags.append(lag)
            announced.append(late)
            silences.append(silence)
        report.append("song %d: title %+.1f ms, announced %+.1f ms, silence %d" % (k + 1, lag, late, silence))
    if next_before is not None:
        click = next((t for t, k, _ in lines if k == "click"), None)
        natural_end = clock + (songs[0][0] + song_frames) / RATE
        clicks.append((click - natural_end) * 1000 if click else float("nan"))
        if click:
            correction += (clicks[-1] + next_before) / 2
        whole.append(songs[1][1] - song_frames)
        report.append("Next %+.1f ms from the first song's end; second song %d frames of %d" %
                      (clicks[-1], songs[1][1], song_frames))
    print("round %d: %s" % (r + 1, "; ".join(report)))

if lags:
    print("title after the first sample: median %+.1f ms, range %+.1f..%+.1f ms (goal 0..10)" %
          (statistics.median(lags), min(lags), max(lags)))
    print("heard announcement: median %+.1f ms, range %+.1f..%+.1f ms" %
          (statistics.median(announced), min(announced), max(announced)))
    after = [a - b for a, b in zip(lags, announced)]
    print("title after the announcement: median %+.1f ms, worst %+.1f ms" %
          (statistics.median(after), max(after)))
    print("longest silence at a join: %d samples (goal 0; %d joins)" % (max(silences), len(silences)))
if whole:
    print("Next clicked %s ms from the first song's end: the second song's frames minus its length: %s (goal 0)" %
          (", ".join("%+.0f" % c for c in clicks), ", ".join(str(w) for w in whole)))
