"""Fault injection: per request name, for the next N requests or until cleared."""

import base64
import threading

REQUEST_NAMES = ("getProductList", "getGroupConfig", "createOrder", "orderDetail", "orderList",
                 "statisticsTap", "picture", "pay", "download", "page", "connection")

# What a "tls" fault does to a new connection instead of its handshake.
TLS_MODES = ("close", "reset", "plain", "garbage", "alert", "stall")

# kind -> {parameter: (type, default)}; a default of None marks a required parameter.
KINDS = {
    "delay": {"ms": (int, None)},
    "hang": {"max_ms": (int, 60000)},
    "status": {"status": (int, None), "body": (str, ""), "content_type": (str, "text/plain; charset=utf-8")},
    "not_json": {"status": (int, 200), "body": (str, "<html><body><h1>502 Bad Gateway</h1></body></html>"),
                 "content_type": (str, "text/html; charset=utf-8")},
    "truncated": {"send": (int, -1), "length": (int, -1)},
    "oversized": {"bytes": (int, None)},
    "stream": {"total": (int, None), "length": (int, -1)},
    "redirect": {"hops": (int, None), "status": (int, 302), "location": (str, "")},
    "drop": {},
    "body": {"body": (str, ""), "body_base64": (str, ""), "status": (int, 200),
             "content_type": (str, "application/json; charset=utf-8"), "ms": (int, 0)},
    "drip": {"interval_ms": (int, 1000), "body": (str, ""), "body_base64": (str, ""),
             "status": (int, 200), "content_type": (str, "application/json; charset=utf-8")},
    "tls": {"mode": (str, None), "max_ms": (int, 60000)},
}

_LIMITS = {"ms": (0, 600000), "max_ms": (0, 600000), "status": (100, 599), "send": (-1, 1 << 30),
           "length": (-1, 1 << 40), "bytes": (1, 64 << 20), "total": (1, 1 << 40), "hops": (0, 50),
           "interval_ms": (1, 60000)}


class FaultError(ValueError):
    pass


def parse_fault(params):
    """Builds a fault from admin parameters (strings or JSON values); raises FaultError."""
    request = params.get("request")
    if request not in REQUEST_NAMES:
        raise FaultError("unknown request name %r (one of %s)" % (request, ", ".join(REQUEST_NAMES)))
    kind = params.get("kind")
    if kind not in KINDS:
        raise FaultError("unknown fault kind %r (one of %s)" % (kind, ", ".join(KINDS)))
    fault = {"request": request, "kind": kind}
    for name, (typ, default) in KINDS[kind].items():
        value = params.get(name)
        if value is None or value == "":
            if default is None:
                raise FaultError("fault %s needs %s" % (kind, name))
            value = default
        try:
            value = typ(value)
        except (TypeError, ValueError):
            raise FaultError("%s must be %s" % (name, typ.__name__))
        if name in _LIMITS and not _LIMITS[name][0] <= value <= _LIMITS[name][1]:
            raise FaultError("%s out of range %d..%d" % ((name,) + _LIMITS[name]))
        fault[name] = value
    # "connection" faults act on a new connection before any request is read.
    if (request == "connection") != (kind == "tls"):
        raise FaultError("kind tls goes with request connection, and only it")
    if kind == "tls" and fault["mode"] not in TLS_MODES:
        raise FaultError("mode must be one of %s" % ", ".join(TLS_MODES))
    if kind in ("body", "drip"):
        if fault["body_base64"]:
            try:
                fault["raw"] = base64.b64decode(fault["body_base64"], validate=True)
            except ValueError:
                raise FaultError("body_base64 is not base64")
        elif fault["body"] or kind == "body":
            fault["raw"] = fault["body"].encode("utf-8")
    # Only requests whose raw query contains this text take the fault, so that
    # tests sharing one simulator can aim at their own order.
    match = params.get("match")
    fault["match"] = "" if match is None else str(match)
    # With "every": n, only every n-th matching request takes the fault (the
    # others are answered normally and do not use up its count).
    every = params.get("every")
    try:
        fault["every"] = 1 if every in (None, "") else int(every)
    except (TypeError, ValueError):
        raise FaultError("every must be a number")
    if not 1 <= fault["every"] <= 1000000:
        raise FaultError("every out of range")
    fault["seen"] = 0
    count = params.get("count")
    if count in (None, "", 0, "0"):
        fault["remaining"] = None
    else:
        try:
            fault["remaining"] = int(count)
        except (TypeError, ValueError):
            raise FaultError("count must be a number")
        if not 1 <= fault["remaining"] <= 1000000:
            raise FaultError("count out of range")
    return fault


class FaultBoard:
    """Faults waiting per request name; the oldest matching fault applies first."""

    def __init__(self):
        self._lock = threading.Lock()
        self._faults = []
        self._next_id = 1
        self._generation = 0

    def add(self, fault):
        with self._lock:
            fault = dict(fault, id=self._next_id)
            self._next_id += 1
            self._faults.append(fault)
            return self._public(fault)

    def take(self, request, query=""):
        with self._lock:
            for fault in self._faults:
                if fault["request"] == request and fault.get("match", "") in query:
                    fault["seen"] += 1
                    if fault["seen"] % fault["every"] != 0:
                        return None
                    if fault["remaining"] is not None:
                        fault["remaining"] -= 1
                        if fault["remaining"] <= 0:
                            self._faults.remove(fault)
                    # The generation taken now lets a clear release this very request.
                    return dict(fault, generation=self._generation)
            return None

    def clear(self, request=None):
        """Removes the faults of one request name, or all; releases hanging requests."""
        with self._lock:
            before = len(self._faults)
            self._faults = [f for f in self._faults if request is not None and f["request"] != request]
            self._generation += 1
            return before - len(self._faults)

    def generation(self):
        with self._lock:
            return self._generation

    def list(self):
        with self._lock:
            return [self._public(f) for f in self._faults]

    @staticmethod
    def _public(fault):
        return {k: v for k, v in fault.items() if k != "raw"}
