"""Routing of simulator requests to answers, independent of sockets and TLS."""

import json
import os
import re
import sys
import traceback
import urllib.parse

from . import pages
from .api import ERR_INTERNAL, ERR_UNKNOWN, StoreApi, failure
from .orders import format_time
from .faults import FaultBoard, FaultError, parse_fault
from .reqlog import RequestLog

_HOST = re.compile(r"[A-Za-z0-9.\-]+(:[0-9]{1,5})?\Z|\[[0-9A-Fa-f:.]+\](:[0-9]{1,5})?\Z")
_PICTURE = re.compile(r"/pictures/([A-Za-z0-9_.\-]+)\Z")
_HOP = re.compile(r"/_hop/([0-9]{1,3}|loop)(/.*)\Z")


class Response:
    def __init__(self, status, content_type, body, headers=None):
        self.status = status
        self.content_type = content_type
        self.body = body
        self.headers = headers or []


def json_response(document, status=200):
    return Response(status, "application/json; charset=utf-8",
                    json.dumps(document, ensure_ascii=False, separators=(",", ":")).encode("utf-8"))


def html_response(result):
    status, content_type, body = result
    return Response(status, content_type, body)


class Settings:
    """Runtime settings; a reset returns them to the start options."""

    def __init__(self, auto_pay_seconds=None, conn_latency_ms=0):
        self.start_values = (auto_pay_seconds, conn_latency_ms)
        self.auto_pay_seconds = auto_pay_seconds
        self.conn_latency_ms = conn_latency_ms

    def restore(self):
        self.auto_pay_seconds, self.conn_latency_ms = self.start_values


def parse_query(text):
    values = {}
    for key, value in urllib.parse.parse_qsl(text, keep_blank_values=True, errors="replace"):
        values.setdefault(key, value)  # the first of repeated keys counts
    return values


class Request:
    def __init__(self, method, target, headers, body, conn, port):
        self.method = method
        self.conn = conn
        self.target = target if target.startswith("/") else "/" + target
        raw_path, _, self.query_text = self.target.partition("?")
        self.query_text = self.query_text.partition("#")[0]
        self.path = urllib.parse.unquote(raw_path, errors="replace")
        self.query = parse_query(self.query_text)
        self.headers = headers
        self.body = body
        host = headers.get("Host", "")
        self.host = host if _HOST.match(host) else "localhost:%d" % port
        self.base = "https://" + self.host
        self.url = self.base + self.target

    def params(self):
        """Query values, overlaid by a JSON object or form body (admin calls)."""
        values = dict(self.query)
        if self.body:
            content_type = self.headers.get("Content-Type", "")
            text = self.body.decode("utf-8", errors="replace")
            if "json" in content_type or text.lstrip().startswith("{"):
                try:
                    document = json.loads(text)
                except ValueError:
                    document = None
                if isinstance(document, dict):
                    values.update(document)
            else:
                values.update(parse_query(text))
        return values


class App:
    def __init__(self, catalogue, orders, pictures_dir, settings):
        self.catalogue = catalogue
        self.orders = orders
        self.settings = settings
        self.faults = FaultBoard()
        self.log = RequestLog()
        self.api = StoreApi(catalogue, orders, settings)
        self.pictures = {}
        if os.path.isdir(pictures_dir):
            for name in os.listdir(pictures_dir):
                if name.endswith(".png"):
                    with open(os.path.join(pictures_dir, name), "rb") as f:
                        self.pictures[name] = f.read()

    # ---- store side -------------------------------------------------------

    def classify(self, request):
        """(request name for log and faults, hops left or None) of a non-admin request.

        A hop of an endless redirect loop has -1 hops left."""
        hop = _HOP.match(request.path)
        if hop:
            return "redirect", -1 if hop.group(1) == "loop" else int(hop.group(1))
        path = request.path
        if path.startswith("/api/ps/"):
            name = path[len("/api/ps/"):]
            return (name if name in self.api.names() else "api"), None
        if path.startswith("/pictures/"):
            return "picture", None
        if path.startswith("/pay/"):
            return "pay", None
        if path.startswith("/download/"):
            return "download", None
        return "page", None

    def answer(self, request, path=None):
        """The real answer to a store-side request (faults are applied by the caller)."""
        path = path or request.path
        try:
            return self._answer(request, path)
        except Exception:
            traceback.print_exc(file=sys.stderr)
            return Response(500, "application/json; charset=utf-8", failure(ERR_INTERNAL, "服务器内部错误"))

    def _answer(self, request, path):
        if path.startswith("/api/ps/"):
            if request.method not in ("GET", "HEAD"):
                return Response(405, "application/json; charset=utf-8", failure(ERR_UNKNOWN, "请使用 GET 请求"),
                                [("Allow", "GET")])
            name = path[len("/api/ps/"):]
            status = 200 if name in self.api.names() else 404
            return Response(status, "application/json; charset=utf-8",
                            self.api.answer(name, request.query, request.base))
        picture = _PICTURE.match(path)
        if picture:
            data = self.pictures.get(picture.group(1))
            if data is None:
                return Response(404, "text/plain; charset=utf-8", b"no such picture")
            return Response(200, "image/png", data, [("Cache-Control", "max-age=3600")])
        parts = [p for p in path.split("/") if p]
        if len(parts) == 2 and parts[0] == "pay":
            before = self.orders.get(parts[1])
            newly = before is not None and not before["paid_at"]
            self.orders.mark_paid(parts[1])
            return html_response(pages.pay_page(self.orders.get(parts[1]), newly))
        if len(parts) == 3 and parts[:2] == ["download", "package"] and parts[2].isdigit():
            found = self.catalogue.package(int(parts[2]))
            if found is None:
                return Response(404, "text/plain; charset=utf-8", b"no such package")
            body = pages.download_zip(found[1].get("_file_name", "setup.zip"),
                                      ["套餐：%s" % found[1].get("name", ""), "（商店模拟器生成的示例文件）"])
            return self._zip(found[1], body)
        if len(parts) == 2 and parts[0] == "download":
            order = self.orders.get(parts[1])
            if order is None or not order["paid_at"]:
                return html_response(pages.page("下载", "<h1 class=\"bad\">订单不存在或未支付</h1>", 404))
            found = self.catalogue.package(order["package_id"])
            package = found[1] if found else None
            return self._zip(package, pages.order_download(order, package))
        if len(parts) == 2 and parts[0] == "help" and parts[1].isdigit():
            found = self.catalogue.package(int(parts[1]))
            return html_response(pages.help_page(found[1] if found else None))
        if len(parts) == 2 and parts[0] in ("shop", "kf") and parts[1].isdigit():
            store_type = int(parts[1])
            if not self.catalogue.has_type(store_type):
                return html_response(pages.page("店铺", "<h1 class=\"bad\">店铺不存在</h1>", 404))
            if parts[0] == "kf":
                return html_response(pages.kf_page(store_type))
            return html_response(pages.shop_page(self.catalogue.product_of_type(store_type)))
        if path in ("/", ""):
            return html_response(pages.page("商店模拟器", "<h1>商店模拟器</h1><p>接口位于 /api/ps/，管理页面见 "
                                                       "<a href=\"/admin/\">/admin/</a>。</p>"))
        return Response(404, "application/json; charset=utf-8", failure(ERR_UNKNOWN, "地址不存在"))

    @staticmethod
    def _zip(package, body):
        name = (package or {}).get("_file_name", "setup.zip")
        disposition = "attachment; filename=\"%s\"" % name.encode("ascii", "replace").decode()
        return Response(200, "application/zip", body, [("Content-Disposition", disposition)])

    # ---- admin side -------------------------------------------------------

    def admin(self, request):
        try:
            return self._admin(request, request.params())
        except FaultError as e:
            return json_response({"ok": False, "error": str(e)}, 400)
        except Exception as e:
            traceback.print_exc(file=sys.stderr)
            return json_response({"ok": False, "error": "internal error: %s" % e}, 500)

    def _order_public(self, order):
        result = dict(order)
        result["paid"] = bool(order["paid_at"])
        for key in ("created_at", "paid_at", "auto_pay_at"):
            result[key + "_text"] = format_time(order[key])
        return result

    def _admin(self, request, p):
        action = request.path[len("/admin"):].strip("/")
        if action == "":
            return html_response(pages.admin_page(self.orders.all(), self.settings, self.faults.list()))
        if action == "status":
            return json_response({"ok": True, "auto_pay_seconds": self.settings.auto_pay_seconds,
                                  "conn_latency_ms": self.settings.conn_latency_ms,
                                  "faults": self.faults.list(), "store_types": self.catalogue.store_types()})
        if action == "orders":
            orders = self.orders.all(limit=_int(p.get("limit"), 500))
            if p.get("mac"):
                orders = [o for o in orders if o["mac"] == p["mac"]]
            return json_response({"ok": True, "orders": [self._order_public(o) for o in orders]})
        if action == "order":
            order = self.orders.get(str(p.get("order_no", "")))
            if order is None:
                return json_response({"ok": False, "error": "no such order"}, 404)
            return json_response({"ok": True, "order": self._order_public(order)})
        if action == "pay":
            order_no = str(p.get("order_no", ""))
            if not self.orders.mark_paid(order_no):
                return json_response({"ok": False, "error": "no such order"}, 404)
            if p.get("back"):
                return Response(303, "text/plain; charset=utf-8", b"paid", [("Location", "/admin/")])
            return json_response({"ok": True, "order": self._order_public(self.orders.get(order_no))})
        if action == "auto_pay":
            value = p.get("seconds")
            if value in (None, "", "off", "none", "null") or (_number(value) is not None and _number(value) <= 0):
                self.settings.auto_pay_seconds = None
            elif _number(value) is None:
                raise FaultError("seconds must be a number or off")
            else:
                self.settings.auto_pay_seconds = _number(value)
            return json_response({"ok": True, "auto_pay_seconds": self.settings.auto_pay_seconds})
        if action == "conn_latency":
            ms = _int(p.get("ms"), None)
            if ms is None or not 0 <= ms <= 60000:
                raise FaultError("ms must be 0..60000")
            self.settings.conn_latency_ms = ms
            return json_response({"ok": True, "conn_latency_ms": ms})
        if action == "log":
            entries = self.log.entries(_int(p.get("since"), 0), p.get("name") or None)
            return json_response({"ok": True, "entries": entries})
        if action == "log/clear":
            self.log.clear()
            return json_response({"ok": True})
        if action == "faults":
            return json_response({"ok": True, "faults": self.faults.list()})
        if action == "fault":
            return json_response({"ok": True, "fault": self.faults.add(parse_fault(p))})
        if action == "faults/clear":
            removed = self.faults.clear(p.get("request") or None)
            return json_response({"ok": True, "removed": removed})
        if action == "reset":
            self.orders.clear()
            self.log.clear()
            self.faults.clear()
            self.settings.restore()
            return json_response({"ok": True})
        return json_response({"ok": False, "error": "unknown admin action %r" % action}, 404)


def _number(value):
    try:
        number = float(value)
    except (TypeError, ValueError):
        return None
    return number if number == number and abs(number) < 1e9 else None


def _int(value, default):
    if value is None or value == "":
        return default
    try:
        return int(value)
    except (TypeError, ValueError):
        return default
