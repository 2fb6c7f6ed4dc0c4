"""Small HTML pages and downloads that the answers link to."""

import html
import io
import time
import zipfile

from .orders import activation_code, format_time

_STYLE = """
body{margin:0;font-family:"Microsoft YaHei","WenQuanYi Micro Hei",sans-serif;background:#f4f6fb;color:#282d33}
header{background:#272e48;color:#f6f6f6;padding:14px 24px;font-size:18px}
main{max-width:760px;margin:24px auto;background:#fff;border-radius:10px;padding:24px 32px;
box-shadow:0 2px 10px rgba(0,0,0,.08)}
h1{font-size:22px;color:#1473e6;margin-top:0}.ok{color:#27ae60}.bad{color:#e74c3c}
table{border-collapse:collapse;width:100%;font-size:13px}th,td{border-bottom:1px solid #e5e8ef;
padding:6px 8px;text-align:left}th{background:#f7f8f8}button{background:#1473e6;color:#fff;border:0;
border-radius:4px;padding:4px 10px;cursor:pointer}code{background:#f2f2f2;padding:2px 6px;border-radius:3px}
"""


def page(title, body_html, status=200):
    text = ("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
            "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
            "<title>%s</title><style>%s</style></head><body><header>%s</header><main>%s</main>"
            "</body></html>") % (html.escape(title), _STYLE, html.escape(title), body_html)
    return status, "text/html; charset=utf-8", text.encode("utf-8")


def esc(value):
    return html.escape("" if value is None else str(value))


def pay_page(order, newly_paid):
    if order is None:
        return page("支付", "<h1 class=\"bad\">订单不存在</h1><p>请返回客户端重新下单。</p>", 404)
    state = "支付成功" if newly_paid else "该订单已支付"
    body = ("<h1 class=\"ok\">%s</h1><p>订单号：<code>%s</code></p><p>套餐：%s</p>"
            "<p>金额：￥%0.2f</p><p>支付时间：%s</p><p>请回到客户端查看下载链接与激活码。</p>") % (
        state, esc(order["order_no"]), esc(order["package_name"]), order["price"] / 100,
        esc(format_time(order["paid_at"])))
    return page("收银台", body)


def help_page(package):
    if package is None:
        return page("帮助", "<h1 class=\"bad\">帮助文档不存在</h1>", 404)
    body = ("<h1>%s</h1><p>%s</p><ol><li>在客户端订单详情中复制下载链接，下载安装包。</li>"
            "<li>解压后运行安装程序，按提示完成安装。</li><li>首次启动时输入订单的激活码。</li>"
            "<li>如遇问题，请联系在线客服。</li></ol>") % (esc(package.get("help_title")),
                                                      esc(package.get("help_desc")))
    return page("安装帮助", body)


def shop_page(product):
    if product is None:
        return page("官网", "<h1 class=\"bad\">店铺不存在</h1>", 404)
    rows = "".join("<tr><td>%s</td><td>￥%0.2f</td><td><s>￥%0.2f</s></td></tr>" % (
        esc(p.get("name")), p.get("price", 0) / 100, p.get("source_price", 0) / 100)
        for p in product.get("version", []))
    body = "<h1>%s</h1><p>%s</p><p>%s</p><table><tr><th>套餐</th><th>价格</th><th>原价</th></tr>%s</table>" % (
        esc(product.get("name")), esc(product.get("desc")), esc(product.get("gift")), rows)
    return page("官方网站", body)


def kf_page(store_type):
    body = ("<h1>在线客服</h1><p>店铺 %d 的客服工作时间：每天 9:00 - 21:00。</p>"
            "<p>客服热线：400-000-0000（模拟）</p><p>常见问题：激活码与下单手机号绑定，换机请联系客服解绑。</p>") % store_type
    return page("在线客服", body)


def download_zip(title, lines):
    """A small real zip file, so that a browser hand-off downloads something sensible."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo("说明.txt", time.localtime()[:6])
        info.flag_bits |= 0x800  # UTF-8 file name
        z.writestr(info, "\r\n".join([title] + lines).encode("utf-8"))
    return buffer.getvalue()


def order_download(order, package):
    lines = ["订单号：%s" % order["order_no"], "套餐：%s" % order["package_name"],
             "激活码：%s" % activation_code(order["order_no"]),
             "（商店模拟器生成的示例文件）"]
    return download_zip((package or {}).get("_file_name", "setup.zip"), lines)


def admin_page(orders, settings, faults):
    rows = []
    for o in orders:
        paid = bool(o["paid_at"])
        action = "已支付" if paid else (
            "<form method=\"post\" action=\"/admin/pay\" style=\"margin:0\">"
            "<input type=\"hidden\" name=\"order_no\" value=\"%s\"><input type=\"hidden\" name=\"back\" value=\"1\">"
            "<button type=\"submit\">标记已支付</button></form>" % esc(o["order_no"]))
        rows.append("<tr><td><code>%s</code></td><td>%s</td><td>%s</td><td>%s</td><td>%s</td><td>￥%0.2f</td>"
                    "<td>%s</td><td class=\"%s\">%s</td><td>%s</td></tr>" % (
                        esc(o["order_no"]), esc(o["mac"]), esc(o["package_name"]),
                        "支付宝" if o["pay_type"] == 1 else "微信支付", esc(o["mobile"]), o["price"] / 100,
                        esc(format_time(o["created_at"])), "ok" if paid else "bad",
                        "已支付" if paid else "未支付", action))
    auto = settings.auto_pay_seconds
    body = ("<h1>商店模拟器管理</h1><p>自动支付：%s　新连接延迟：%d ms　故障：%d 条　"
            "<a href=\"/admin/log\">请求日志</a>　<a href=\"/admin/faults\">故障列表</a></p>"
            "<table><tr><th>订单号</th><th>MAC</th><th>套餐</th><th>支付方式</th><th>手机号</th><th>金额</th>"
            "<th>下单时间</th><th>状态</th><th>操作</th></tr>%s</table>") % (
        "关闭" if auto is None else "%g 秒后" % auto, settings.conn_latency_ms, len(faults),
        "".join(rows) or "<tr><td colspan=\"9\">暂无订单</td></tr>")
    return page("商店模拟器", body)
