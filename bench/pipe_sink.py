"""What a PulseAudio pipe sink (16-bit stereo, paced by the clock) plays and when, for the
sound benchmarks: a thread reads the pipe and keeps each read's time on time.monotonic()
(CLOCK_MONOTONIC, the clock of the players' own reports)."""
import array
import os
import threading
import time

RATE = 44100


class PipeSink:
    def __init__(self, path):
        self.data = bytearray()
        self.reads = []  # (time of the read, frames read in all after it)
        self.lock = threading.Lock()
        threading.Thread(target=self._read, args=(path,), daemon=True).start()

    def _read(self, path):
        fd = os.open(path, os.O_RDONLY)
        while True:
            chunk = os.read(fd, 65536)
            if not chunk:
                return
            now = time.monotonic()
            with self.lock:
                self.data.extend(chunk)
                self.reads.append((now, len(self.data) // 4))

    def frames(self):
        with self.lock:
            return len(self.data) // 4

    def since(self, first, start_time):
        """The left channel from frame `first` on, and the time its frame 0 reached the
        sink's output (None without reads since start_time). The sink writes each block when
        its first frame is due, as a sound card starts a period: the reads least behind the
        frames before them mark the stream's clock."""
        with self.lock:
            left = array.array("h", bytes(self.data[first * 4 : len(self.data) // 4 * 4]))[0::2]
            rs = [(t, n - first) for t, n in self.reads if t >= start_time and n > first]
        starts = [(t, before) for (t, _), (_, before) in zip(rs[1:], rs[:-1])]
        return left, min((t - n / RATE for t, n in starts), default=None)
