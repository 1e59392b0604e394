#!/usr/bin/env python3
"""Refreshes the seed corpora under tests/fuzz/corpus/ from a running velmora-exchange.

usage: collect_corpus.py HOST [UPDATE_HOST:PORT]   (HOST serves ports 8055 and 8041)

Long lists are cut to their first three records so that the seeds stay small."""
import hashlib
import json
import os
import sys
import time
import urllib.request

KEY = "Vm8kQ3zT5rLx2NwP"
host = sys.argv[1]
update = sys.argv[2] if len(sys.argv) > 2 else host + ":8090"
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def body(params):
    params = dict(params, v=str(int(time.time())))
    signed = "".join(k + "=" + params[k] for k in sorted(params)) + KEY
    params["sign"] = hashlib.md5(signed.encode("gbk")).hexdigest()
    lines = ['   "%s" : "%s"' % (k, params[k]) for k in sorted(params)]
    return "{\n" + ",\n".join(lines) + "\n}\n"


def fetch(url, data=None):
    req = urllib.request.Request(url, data=data.encode("gbk") if data else None)
    with urllib.request.urlopen(req, timeout=5) as r:
        return r.read()


def trim(raw):
    try:
        doc = json.loads(raw.decode("gbk"))
    except ValueError:
        return raw
    if isinstance(doc, dict) and isinstance(doc.get("infor"), list):
        doc["infor"] = doc["infor"][:3]
    return json.dumps(doc, ensure_ascii=False, separators=(",", ":")).encode("gbk")


def save(target, name, data):
    os.makedirs(os.path.join(out, target), exist_ok=True)
    with open(os.path.join(out, target, name), "wb") as f:
        f.write(data)


market = "http://%s:8041" % host
trade = "http://%s:8055" % host
login = body({"username": "100001", "passwd": hashlib.md5(b"123456").hexdigest()})
replies = {
    "realtime": fetch(market + "/api/realtime/9160001"),
    "ticks20": fetch(market + "/api/dealdetail/9160001/20"),
    "ticks0": fetch(market + "/api/dealdetail/9160001/0"),
    "prices": fetch(market + "/api/pricedetail/9160001"),
    "stockinfo": fetch(market + "/api/stockinfo/9160001"),
    "timeline": fetch(market + "/api/timeline/9160001/%d" % int(time.time())),
    "candles1": fetch(market + "/api/histogram/9160001/1"),
    "candles8": fetch(market + "/api/histogram/9160001/8"),
    "login": fetch(trade + "/api/v1/user/login", login),
    "login_refused": fetch(trade + "/api/v1/user/login",
                           body({"username": "100001", "passwd": hashlib.md5(b"wrong").hexdigest()})),
    "overview": fetch(trade + "/api/v1/stock/up-to-the-minute", body({"id": "100001"})),
    "guide": fetch(trade + "/api/v1/trade/guide", body({"id": "9160001"})),
    "ad": fetch(trade + "/api/v1/ad", body({})),
    "customer": fetch(trade + "/api/v1/customer/item", body({"id": "100001"})),
    "cash": fetch(trade + "/api/v1/account/apply", body({"id": "100001"})),
    "manifest": fetch("http://%s/pc_update.json" % update),
    "orders": fetch(trade + "/api/v1/order/today", body({"id": "100001"})),
    "trades": fetch(trade + "/api/v1/trade/today", body({"id": "100001"})),
    "history": fetch(trade + "/api/v1/trade/history",
                     body({"id": "100001", "start_date": "2020-01-01", "end_date": "2030-01-01"})),
    "deliveries": fetch(trade + "/api/v1/delivery/history", body({"id": "100001"})),
    "cash_history": fetch(trade + "/api/v2/cash/history",
                          body({"id": "100001", "start_date": "2020-01-01", "end_date": "2030-01-01"})),
}
replies = {k: trim(v) for k, v in replies.items()}
refusal = '{"success":"false","msg":"签名错误"}'.encode("gbk")

for name in ("login", "customer", "cash", "overview"):
    save("api_reply", name, replies[name])
save("api_reply", "refusal", refusal)
for name in ("customer", "orders", "trades", "history", "deliveries", "cash_history"):
    save("trade_lists", name, replies[name])
save("trade_lists", "refusal", refusal)
save("realtime_quote", "realtime", replies["realtime"])
save("realtime_quote", "refusal", refusal)
save("ticks", "latest20", replies["ticks20"])
save("ticks", "day", replies["ticks0"])
save("price_table", "prices", replies["prices"])
save("overview_rows", "overview", replies["overview"])
save("overview_rows", "refusal", refusal)
save("single_item_quote", "guide", replies["guide"])
save("single_item_quote", "refusal", refusal)
save("candles", "minute", replies["candles1"])
save("candles", "day", replies["candles8"])
save("timeline", "timeline", replies["timeline"])
save("pages", "ad", replies["ad"])
save("pages", "stockinfo", replies["stockinfo"])
save("update_manifest", "manifest", replies["manifest"])
save("update_manifest", "newer", '{"version":"v1.7","forced":"true","msg":"请更新到新版本"}'.encode("gbk"))
save("login_record", "login", replies["login"])
save("login_record", "refused", replies["login_refused"])
save("connect_file", "line1", b'{"connect":1}')
save("connect_file", "line0", b'{"connect":0}')
save("signinaccount_file", "account", b'{\n   "id_account" : "100001"\n}\n')
save("signinaccount_file", "empty", b"")
root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
for target in ("column_catalogue", "current_columns"):
    for name in ("listtitle.txt", "currentlisttitle.txt"):
        with open(os.path.join(root, "data", name), "rb") as f:
            save(target, name.split(".")[0], f.read())
# Signed bodies: the first byte picks the endpoint (login is the first signed one), the second
# whether the rest is a body to verify (0) or field values to build one from (1).
save("signed_body", "login", b"\x00\x00" + login.encode("gbk"))
save("signed_body", "customer", b"\x07\x00" + body({"id": "100001"}).encode("gbk"))
save("signed_body", "buy_fields", b"\x03\x01" + "12\n35.50\n100001\n9160001".encode())
save("signed_body", "details_fields", b"\x01\x01" + "6222\n上海市\n合同\na@b.c\n100001\n139\n林晓雨\n3101\n021".encode())
save("exchange_options", "listen", b"--listen\x00127.0.0.5\x00--pace=3\x00--seed\x007\x00--db\x00/tmp/x.db")
save("exchange_options", "faults", b"--fault\x00/api/*=delay:100\x00--fault=/api/realtime/9160001=huge:1000"
     b"\x00--update-listen\x00127.0.0.5:8090\x00--key\x00Vm8kQ3zT5rLx2NwP")
save("exchange_options", "terminal", b"--line0-host\x00127.0.0.9\x00--update-host=127.0.0.9:8090\x00--trace"
     b"\x00--workdir\x00/tmp")
