"""The request log: what clients asked, on which connection, in arrival order."""

import collections
import threading
import time

MAX_ENTRIES = 20000


class RequestLog:
    def __init__(self):
        self._lock = threading.Lock()
        self._entries = collections.deque(maxlen=MAX_ENTRIES)
        self._seq = 0

    def add(self, method, url, path, query, name, conn):
        """Records a request at its arrival and returns its entry; the handler fills in "status"."""
        with self._lock:
            self._seq += 1
            entry = {"seq": self._seq, "method": method, "url": url, "path": path, "query": query,
                     "name": name, "time": round(time.time(), 6), "conn": conn, "status": None}
            self._entries.append(entry)
            return entry

    def set_status(self, entry, status):
        with self._lock:
            entry["status"] = status

    def entries(self, since=0, name=None):
        with self._lock:
            return [dict(e) for e in self._entries
                    if e["seq"] > since and (name is None or e["name"] == name)]

    def clear(self):
        with self._lock:
            self._entries.clear()
