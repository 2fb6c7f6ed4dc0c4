"""Orders, kept in SQLite in the state directory so that they survive a restart."""

import hashlib
import os
import sqlite3
import threading
import time

_SCHEMA = """
CREATE TABLE IF NOT EXISTS orders (
    id           INTEGER PRIMARY KEY AUTOINCREMENT,
    order_no     TEXT NOT NULL UNIQUE,
    mac          TEXT NOT NULL,
    channel      TEXT NOT NULL,
    store_type   INTEGER NOT NULL,
    pay_type     INTEGER NOT NULL,
    package_id   INTEGER NOT NULL,
    package_name TEXT NOT NULL,
    price        INTEGER NOT NULL,
    mobile       TEXT NOT NULL,
    created_at   REAL NOT NULL,
    auto_pay_at  REAL,
    paid_at      REAL
);
CREATE INDEX IF NOT EXISTS orders_by_mac ON orders (mac, id);
CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
"""

_COLUMNS = ("id", "order_no", "mac", "channel", "store_type", "pay_type", "package_id",
            "package_name", "price", "mobile", "created_at", "auto_pay_at", "paid_at")


def format_time(seconds):
    return time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(seconds)) if seconds else None


def activation_code(order_no):
    """A stable licence-style code per order: four groups of four."""
    digest = hashlib.sha256(("parvelle-sim:" + order_no).encode()).digest()
    alphabet = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789"
    chars = [alphabet[b % len(alphabet)] for b in digest[:16]]
    return "-".join("".join(chars[i:i + 4]) for i in range(0, 16, 4))


class OrderStore:
    def __init__(self, path, clock=time.time):
        self._lock = threading.Lock()
        self._clock = clock
        self._db = sqlite3.connect(path, check_same_thread=False, isolation_level=None)
        self._db.execute("PRAGMA journal_mode=WAL")
        self._db.execute("PRAGMA synchronous=NORMAL")
        self._db.executescript(_SCHEMA)

    def close(self):
        with self._lock:
            self._db.close()

    def _next_serial(self):
        # The serial lives in meta, which a reset keeps, so order numbers never repeat.
        row = self._db.execute("SELECT value FROM meta WHERE key='serial'").fetchone()
        serial = (int(row[0]) if row else 0) + 1
        self._db.execute("INSERT OR REPLACE INTO meta (key, value) VALUES ('serial', ?)", (str(serial),))
        return serial

    def _settle_auto_pay(self, now):
        self._db.execute("UPDATE orders SET paid_at = auto_pay_at WHERE paid_at IS NULL "
                         "AND auto_pay_at IS NOT NULL AND auto_pay_at <= ?", (now,))

    def create(self, mac, channel, store_type, pay_type, package_id, package_name, price,
               mobile, auto_pay_seconds=None):
        with self._lock:
            now = self._clock()
            self._db.execute("BEGIN IMMEDIATE")
            try:
                serial = self._next_serial()
                order_no = "PS%s%04d" % (time.strftime("%y%m%d%H%M%S", time.localtime(now)),
                                         serial % 10000)
                if self._db.execute("SELECT 1 FROM orders WHERE order_no=?", (order_no,)).fetchone():
                    order_no = "PS%s%08d" % (time.strftime("%y%m%d", time.localtime(now)), serial)
                auto_at = None if auto_pay_seconds is None else now + auto_pay_seconds
                self._db.execute(
                    "INSERT INTO orders (order_no, mac, channel, store_type, pay_type, package_id,"
                    " package_name, price, mobile, created_at, auto_pay_at) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (order_no, mac, channel, store_type, pay_type, package_id, package_name, price,
                     mobile, now, auto_at))
                self._db.execute("COMMIT")
            except BaseException:
                self._db.execute("ROLLBACK")
                raise
            return order_no

    def get(self, order_no):
        with self._lock:
            self._settle_auto_pay(self._clock())
            row = self._db.execute("SELECT %s FROM orders WHERE order_no=?" % ",".join(_COLUMNS),
                                   (order_no,)).fetchone()
            return dict(zip(_COLUMNS, row)) if row else None

    def mark_paid(self, order_no):
        """True when the order exists (paying a paid order keeps its first pay time)."""
        with self._lock:
            now = self._clock()
            self._settle_auto_pay(now)
            cur = self._db.execute("UPDATE orders SET paid_at=? WHERE order_no=? AND paid_at IS NULL",
                                   (now, order_no))
            if cur.rowcount:
                return True
            return self._db.execute("SELECT 1 FROM orders WHERE order_no=?", (order_no,)).fetchone() is not None

    def page_of_mac(self, mac, page, page_size):
        """(total, rows of that page), newest first."""
        with self._lock:
            self._settle_auto_pay(self._clock())
            total = self._db.execute("SELECT COUNT(*) FROM orders WHERE mac=?", (mac,)).fetchone()[0]
            rows = self._db.execute(
                "SELECT %s FROM orders WHERE mac=? ORDER BY id DESC LIMIT ? OFFSET ?" % ",".join(_COLUMNS),
                (mac, page_size, (page - 1) * page_size)).fetchall()
            return total, [dict(zip(_COLUMNS, r)) for r in rows]

    def all(self, limit=500):
        with self._lock:
            self._settle_auto_pay(self._clock())
            rows = self._db.execute("SELECT %s FROM orders ORDER BY id DESC LIMIT ?" % ",".join(_COLUMNS),
                                    (limit,)).fetchall()
            return [dict(zip(_COLUMNS, r)) for r in rows]

    def clear(self):
        with self._lock:
            self._db.execute("DELETE FROM orders")


def open_store(state_dir):
    return OrderStore(os.path.join(state_dir, "orders.sqlite3"))
