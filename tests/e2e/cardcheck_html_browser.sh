#!/usr/bin/env bash
# cardcheck --html read back by a real browser: three cards built here (a
# ready card playing the sensor by hour, a card that plays nothing, a card
# with problems and names made to look like markup), each page opened in
# headless Chromium, its DOM dumped and checked against what the settings
# bytes written here imply; the ready card's page also as a screenshot (the
# kinds' colours painted) and printed (one A4 sheet).
#   cardcheck_html_browser.sh <cardcheck> <work folder>
# Exits 77 (skipped) only where chromium is not installed.
set -uo pipefail
CHECK="$(realpath "$1")"
WORK="$2"
BROWSER="$(command -v chromium || true)"
if [[ -z "$BROWSER" ]]; then
  echo "cardcheck_html_browser: chromium missing; skipped"
  exit 77
fi
rm -rf "$WORK"
mkdir -p "$WORK"
trap '[[ -n "${KEEP_WORK:-}" ]] || rm -rf "$WORK"' EXIT

python3 - "$CHECK" "$WORK" "$BROWSER" <<'PY'
import html.parser, os, pathlib, re, struct, subprocess, sys

CHECK, WORK, BROWSER = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3]
KINDS = ["狗", "虎", "豹", "人", "猞猁", "赤狐", "黑熊", "鸟A", "鸟B", "鸟C"]
KIND_FOLDERS = ["dog", "tiger", "leopard", "human", "lynx", "fox", "bear", "bird A", "bird B", "bird C"]
PLANS = ["感应播放", "定时播放A", "定时播放B"]
PLAN_FOLDERS = ["audio/SenseSpecify", "audio/Alarm/A", "audio/Alarm/B"]
failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


# ---- cards: the settings bytes in the record's order, and 0.1 s sounds ---------------


def record(ena, vol, pause, days_a, days_b, timer, sen, dly, alarm_a, alarm_b, plans, capture, interval):
    rec = bytes([ena, vol, pause, days_a, days_b, timer, sen, dly, alarm_a, alarm_b, *sum(plans, []), capture, *interval])
    assert len(rec) == 86
    return rec


class Card:
    def __init__(self, name, settings):
        self.root, self.settings = WORK / "cards" / name, settings
        self.root.mkdir(parents=True)
        (self.root / "CFG_BROADCAST.bin").write_bytes(settings)
        self.sounding = set()  # folders holding a good sound

    def sounds(self, folder, names, damaged=()):
        (self.root / folder).mkdir(parents=True, exist_ok=True)
        for name in names:
            fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
            body = b"WAVEfmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", 800) + b"\x80" * 800
            data = b"RIFF" + struct.pack("<I", len(body)) + body
            (self.root / folder / name).write_bytes(data[:400] if name in damaged else data)
        if set(names) - set(damaged):
            self.sounding.add(folder)


# Ready: the sensor by hour; timed playback off, so schedule A's one kind,
# the lynx, may have an empty folder.
sensor = [0] * 6 + [6] * 4 + [1] * 4 + [3] * 4 + [9] * 6
ready = Card("ready card", record(1, 6, 3, 12, 20, 0, 2, 15, 1, 0, [sensor, [4] * 24, [5] * 24], 1, [2, 30, 15]))
for kind in set(sensor):
    ready.sounds(f"audio/SenseSpecify/{KIND_FOLDERS[kind]}", ["call 1.wav", "call 2.wav"])
ready.sounds("audio/Alarm/A/lynx", [])
# Playback off: every row greyed.
silent = Card("plays nothing", record(0, 5, 7, 28, 28, 1, 2, 10, 1, 1,
                                      [[h % 10 for h in range(24)], [(h + 3) % 10 for h in range(24)], [7] * 24],
                                      0, [1, 0, 0]))
# Problems, in a folder called <script>: the sensor at random from a sound
# named like markup (a name cannot hold the "/" of </b>) and a damaged one;
# schedule A by hour with hours of a value naming no kind and of the bear,
# whose folder is empty; schedule B at random.
MARKUP_NAME, DAMAGED = "<b>x<i>.wav", 'a&b "q".wav'
broken = Card("<script>", record(1, 8, 1, 30, 1, 1, 1, 30, 1, 0, [[0] * 24, [2] * 8 + [12] * 4 + [6] * 12, [8] * 24],
                                 0, [0, 5, 0]))
broken.sounds("audio/SenseRand", [MARKUP_NAME, DAMAGED], damaged=[DAMAGED])
broken.sounds("audio/Alarm/A/leopard", ["'spot'.wav"])
broken.sounds("audio/Alarm/A/bear", [])
broken.sounds("audio/Alarm/B", ["b.wav"])


# ---- what the bytes imply (for the values these cards hold) ---------------------------


def reason(plan, rec):
    """Why plan's row is not played by the hour, in the settings' words; None when it is."""
    if rec[0] == 0:
        return "播放开关: 关"
    if plan > 0 and rec[5] == 0:
        return "定时播放模式: 关闭"
    mode = [rec[6], rec[8], rec[9]][plan]
    return None if mode == (2 if plan == 0 else 1) else "随机播放: 不按小时"


def values(rec):
    return {"播放音量": str(rec[1]), "播放延时": f"{rec[7]} 秒", "A播放天数": f"{rec[3]} 天", "B播放天数": f"{rec[4]} 天",
            "播放暂停天数": f"{rec[2]} 天", "定时拍摄": "开" if rec[82] == 0 else "关",
            "拍摄间隔": f"{rec[83]} 时 {rec[84]} 分 {rec[85]} 秒"}


# ---- the page as the browser built it -------------------------------------------------


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent, self.children = tag, attrs, parent, []

    def text(self):
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)

    def all(self, tag=None, cls=None):
        for child in self.children:
            if isinstance(child, Node):
                if tag in (None, child.tag) and (cls is None or cls in child.attrs.get("class", "").split()):
                    yield child
                yield from child.all(tag, cls)


class Dom(html.parser.HTMLParser):
    VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.root = self.current = Node("#document", {}, None)
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        node = Node(tag, {k: v or "" for k, v in attrs}, self.current)
        self.current.children.append(node)
        if tag not in self.VOID:
            self.current = node

    def handle_endtag(self, tag):
        node = self.current
        while node.parent is not None and node.tag != tag:
            node = node.parent
        if node.parent is not None:
            self.current = node.parent

    def handle_data(self, data):
        self.current.children.append(data)


def browser(*args):
    """Headless Chromium run to its end; its standard output."""
    run = subprocess.run([BROWSER, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                          f"--user-data-dir={WORK / 'profile'}", *args],
                         env=dict(os.environ, HOME=str(WORK / "home")), capture_output=True, timeout=180)
    if run.returncode != 0:
        fail(f"chromium {args}: exit {run.returncode}: {run.stderr.decode(errors='replace')[-2000:]}")
    return run.stdout.decode("utf-8")


kind_colours = {}  # kind (10 for none) -> its cells' colour, the same on every page


def check_page(card, name, expected_exit):
    page = WORK / f"{name}.html"
    run = subprocess.run([CHECK, "--html", str(page), str(card.root)], capture_output=True, timeout=120)
    if run.returncode != expected_exit or b"\n\xe7\xbb\x93\xe8\xae\xba: " not in run.stdout:  # "结论: " on stdout
        fail(f"{name}: cardcheck exit {run.returncode}, expected {expected_exit}, and the text report")
    dom = Dom(browser("--dump-dom", page.as_uri()))
    body, rec = next(dom.root.all("body")), card.settings
    # Nothing runs, nothing comes from elsewhere, no name becomes markup.
    for node in dom.root.all():
        if node.tag in ("script", "iframe", "object", "embed", "img", "link", "base", "b", "i") or not node.tag.isalnum():
            fail(f"{name}: a <{node.tag}> element")
        for attribute in set(node.attrs) & {"src", "href", "action", "srcset", "poster"}:
            if not node.attrs[attribute].startswith("#"):
                fail(f"{name}: <{node.tag} {attribute}={node.attrs[attribute]!r}>")
    if any(re.search(r"url\s*\(|@import", style.text()) for style in dom.root.all("style")):
        fail(f"{name}: the style loads something")

    rows = [tr for table in body.all("table", "day") for tr in table.all("tr", "plan")]
    hours = [th.text() for table in body.all("table", "day") for th in table.all("th") if th.parent.parent.tag == "thead"]
    if len(rows) != 3 or hours[-24:] != [f"{h:02d}" for h in range(24)]:
        fail(f"{name}: {len(rows)} plan rows, hours {hours}")
    unused_colours = set()
    for plan, row in enumerate(rows):
        why, title = reason(plan, rec), next(row.all("th"))
        if ("unused" in row.attrs["class"].split()) != (why is not None) or not title.text().startswith(PLANS[plan]):
            fail(f"{name}: row {plan} {row.attrs} {title.text()!r}, expected {PLANS[plan]} greyed {why}")
        if [span.text() for span in title.all("span", "reason")] != ([why] if why else []):
            fail(f"{name} {PLANS[plan]}: reason {title.text()!r}, expected {why!r}")
        tds = list(row.all("td"))
        if len(tds) != 24:
            fail(f"{name} {PLANS[plan]}: {len(tds)} hour cells")
        for hour, td in enumerate(tds):
            kind = rec[10 + plan * 24 + hour]
            marked = why is None and (kind >= 10 or f"{PLAN_FOLDERS[plan]}/{KIND_FOLDERS[kind]}" not in card.sounding)
            text = (KINDS[kind] if kind < 10 else f"{kind} (无此种类)") + ("0 个文件" if marked else "")
            got = (td.attrs.get("data-hour"), td.attrs.get("data-kind"), td.text(), "nofiles" in td.attrs.get("class", ""))
            if got != (str(hour), str(kind), text, marked):
                fail(f"{name} {PLANS[plan]} {hour:02d}: {got}, expected {(hour, kind, text, marked)}")
            colour = re.search(r"background-color:\s*(#[0-9a-f]{6})", td.attrs.get("style", ""), re.I)
            colour = colour.group(1).lower() if colour else None
            if why is not None:
                unused_colours.add(colour)
            elif kind_colours.setdefault(min(kind, 10), colour) != colour or colour is None:
                fail(f"{name} {PLANS[plan]} {hour:02d}: kind {kind} in {colour}, elsewhere {kind_colours[min(kind, 10)]}")
    if len(unused_colours) > 1 or unused_colours & set(kind_colours.values()) or None in unused_colours:
        fail(f"{name}: rows not in use in {unused_colours}, kinds in {kind_colours}")
    shown = {dt.text(): dd.text() for dt, dd in zip(body.all("dt"), body.all("dd"))}
    if shown != values(rec):
        fail(f"{name}: values {shown}, expected {values(rec)}")
    return dom, body, page


def texts(body, tag, cls):
    return [node.text() for node in body.all(tag, cls)]


# The ready card: also a screenshot with its kinds' colours, and one A4 sheet in print.
dom, body, page = check_page(ready, "ready", 0)
if texts(body, "p", "verdict") != ["结论: 存储卡可以使用 (0 个问题)"]:
    fail(f"ready: verdict {texts(body, 'p', 'verdict')}")
shot = WORK / "ready.png"
browser("--hide-scrollbars", "--window-size=800,700", f"--screenshot={shot}", page.as_uri())
histogram = subprocess.run(["convert", str(shot), "-format", "%c", "histogram:info:-"], capture_output=True, text=True)
painted = {m[2].lower(): int(m[1]) for m in re.finditer(r"(\d+): \([^)]*\) (#[0-9A-Fa-f]{6})", histogram.stdout)}
for kind in set(sensor):
    if painted.get(kind_colours.get(kind), 0) < 100:
        fail(f"ready: {KINDS[kind]}'s colour {kind_colours.get(kind)} painted on {painted.get(kind_colours.get(kind), 0)} pixels")
pdf = WORK / "ready.pdf"
browser("--no-pdf-header-footer", f"--print-to-pdf={pdf}", page.as_uri())
printed = pdf.read_bytes() if pdf.is_file() else b""
sheets = len(re.findall(rb"/Type\s*/Page(?![s\w])", printed))
boxes = {tuple(round(float(v)) for v in box.split()) for box in re.findall(rb"/MediaBox\s*\[([^\]]*)\]", printed)}
if sheets != 1 or boxes != {(0, 0, 595, 842)}:
    fail(f"ready: printed on {sheets} sheets of {boxes}, expected one A4 sheet")

dom, body, page = check_page(silent, "silent", 0)
if "注意: 设备不会播放任何声音" not in texts(body, "p", "warning"):
    fail("silent: no warning that nothing plays")

# The card with problems: its folder's and its files' names are text.
dom, body, page = check_page(broken, "broken", 1)
if not all("<script>" in text for text in texts(dom.root, "title", None) + texts(body, "h1", None)):
    fail(f"broken: the card's folder not shown as text: {texts(dom.root, 'title', None)}")
if not {MARKUP_NAME, DAMAGED} <= set(texts(body, "span", "name")):
    fail(f"broken: the files shown are {texts(body, 'span', 'name')}")
problems = texts(body, "li", None)
if not any(f"{DAMAGED}: 文件被截断" in p for p in problems):
    fail(f"broken: the damaged file is no problem: {problems}")

if len(set(kind_colours.values())) != len(kind_colours):
    fail(f"two kinds in one colour: {kind_colours}")
print(f"cardcheck_html_browser: {len(failures)} failures")
sys.exit(1 if failures else 0)
PY
