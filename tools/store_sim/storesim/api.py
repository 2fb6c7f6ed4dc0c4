"""The store API under /api/ps/: query checks and the answers' envelopes."""

import json
import math
import re

from .orders import activation_code, format_time

STATUS_OK = 1000
ERR_MISSING = 1001
ERR_INVALID = 1002
ERR_STORE_TYPE = 1003
ERR_PACKAGE = 1004
ERR_ORDER = 1005
ERR_PAGE = 1006
ERR_UNKNOWN = 1404
ERR_INTERNAL = 1500

MAX_PAGE = 100000
MAX_PAGE_SIZE = 100
MAX_VALUE_LENGTH = 256
_INT = re.compile(r"-?[0-9]{1,9}\Z")


class ApiError(Exception):
    def __init__(self, code, message):
        super().__init__(message)
        self.code = code
        self.message = message


def encode(document):
    # Compact UTF-8: the client reads some answers into 4 KiB buffers.
    return json.dumps(document, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


def success(data):
    return encode({"status_code": STATUS_OK, "data": data})


def failure(code, message):
    return encode({"status_code": code, "message": message, "data": []})


class Query:
    def __init__(self, values):
        self._values = values

    def text(self, name):
        value = self._values.get(name)
        if value is None or value == "":
            raise ApiError(ERR_MISSING, "缺少参数：%s" % name)
        if len(value) > MAX_VALUE_LENGTH:
            raise ApiError(ERR_INVALID, "参数过长：%s" % name)
        return value

    def integer(self, name, low=None, high=None, code=ERR_INVALID):
        value = self.text(name)
        if not _INT.match(value):
            raise ApiError(ERR_INVALID, "参数格式错误：%s" % name)
        number = int(value)
        if (low is not None and number < low) or (high is not None and number > high):
            raise ApiError(code, "参数超出范围：%s" % name)
        return number


class StoreApi:
    """Answers the six requests; `ctx` supplies the catalogue, the orders and settings."""

    def __init__(self, catalogue, orders, settings):
        self.catalogue = catalogue
        self.orders = orders
        self.settings = settings
        self._handlers = {
            "getProductList": self.get_product_list,
            "getGroupConfig": self.get_group_config,
            "createOrder": self.create_order,
            "orderDetail": self.order_detail,
            "orderList": self.order_list,
            "statisticsTap": self.statistics_tap,
        }

    def names(self):
        return tuple(self._handlers)

    def answer(self, name, values, base):
        """The body of the answer to one request; every failure is an envelope."""
        handler = self._handlers.get(name)
        if handler is None:
            return failure(ERR_UNKNOWN, "接口不存在：%s" % name)
        try:
            return success(handler(Query(values), base))
        except ApiError as e:
            return failure(e.code, e.message)

    def _store_type(self, query):
        store_type = query.integer("type")
        if not self.catalogue.has_type(store_type):
            raise ApiError(ERR_STORE_TYPE, "店铺类型不存在：%d" % store_type)
        return store_type

    def get_product_list(self, query, base):
        query.text("mac")
        store_type = self._store_type(query)
        query.text("channel")
        return self.catalogue.product_list(store_type, base)

    def get_group_config(self, query, base):
        return self.catalogue.group_config(self._store_type(query), base)

    def create_order(self, query, base):
        mac = query.text("mac")
        query.integer("type")
        channel = query.text("channel")
        pay_type = query.integer("pay_type")
        if pay_type not in (1, 2):
            raise ApiError(ERR_INVALID, "不支持的支付方式：%d" % pay_type)
        package_id = query.integer("package_id")
        mobile = query.text("mobile")
        if len(mobile) > 32:
            raise ApiError(ERR_INVALID, "手机号格式错误")
        found = self.catalogue.package(package_id)
        if found is None:
            raise ApiError(ERR_PACKAGE, "套餐不存在：%d" % package_id)
        store_type, package = found
        order_no = self.orders.create(mac, channel, store_type, pay_type, package_id, package["name"],
                                      int(package.get("price", 0)), mobile,
                                      self.settings.auto_pay_seconds)
        return {"order_no": order_no, "qrcode": "%s/pay/%s" % (base, order_no),
                "pay_type": pay_type, "pay_count": int(package.get("price", 0)) / 100}

    def order_detail(self, query, base):
        order = self.orders.get(query.text("order_no"))
        if order is None:
            raise ApiError(ERR_ORDER, "订单不存在")
        data = {"order_no": order["order_no"], "status": 1 if order["paid_at"] else 0,
                "package_id": order["package_id"], "package_name": order["package_name"],
                "pay_type": order["pay_type"], "pay_count": order["price"] / 100,
                "created_at": format_time(order["created_at"]), "pay_time": format_time(order["paid_at"])}
        if order["paid_at"]:
            data.update(self.order_links(order, base))
        return data

    def order_links(self, order, base):
        found = self.catalogue.package(order["package_id"])
        package = found[1] if found else {}
        return {
            "link_file_name": package.get("_file_name", "setup_%d.zip" % order["package_id"]),
            "link_url": "%s/download/%s" % (base, order["order_no"]),
            "code": activation_code(order["order_no"]),
            "help_title": package.get("help_title", order["package_name"]),
            "help_link_url": "%s/help/%d" % (base, order["package_id"]),
        }

    def order_list(self, query, base):
        mac = query.text("mac")
        page = query.integer("page", 1, MAX_PAGE, ERR_PAGE)
        page_size = query.integer("pageSize", 1, MAX_PAGE_SIZE)
        total, rows = self.orders.page_of_mac(mac, page, page_size)
        first = (page - 1) * page_size + 1
        return {
            "current_page": page,
            "last_page": max(1, math.ceil(total / page_size)),
            "per_page": page_size,
            "total": total,
            "from": first if rows else None,
            "to": first + len(rows) - 1 if rows else None,
            "data": [{"order_no": r["order_no"], "package_name": r["package_name"],
                      "pay_count": r["price"] / 100, "pay_status": 1 if r["paid_at"] else 0,
                      "pay_time": format_time(r["paid_at"]), "mac": r["mac"],
                      "package_id": r["package_id"]} for r in rows],
        }

    def statistics_tap(self, query, base):
        query.text("mac")
        query.integer("action_type")
        self._store_type(query)
        query.text("channel")
        return []
