"""The web console in headless Chromium, and plain HTTP requests that must not act.

Skipped (exit 77) when chromium, chromium-driver or python3-selenium is missing. With
ORVANE_WEB_SCREENSHOTS=DIR the main views are saved there as PNG files.
"""

import http.cookiejar
import json
import os
import re
import shutil
import sys
import time
import unittest
import urllib.error
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from server_harness import PASSWORD, RawConnection, Server  # noqa: E402

try:
    from selenium import webdriver
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

WEB = re.compile(r"web console at http://127\.0\.0\.1:(\d+)/")
TRIBE = 1000004  # the default world's tribe with 640 structures
SHOTS = os.environ.get("ORVANE_WEB_SCREENSHOTS")


class Http:
    """A client with its own cookie jar."""

    def __init__(self, base):
        self.base = base
        self.opener = urllib.request.build_opener(
            urllib.request.HTTPCookieProcessor(http.cookiejar.CookieJar()))

    def call(self, path, body=None, headers=None, raw=None):
        data = raw if raw is not None else None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, headers=headers or {})
        try:
            with self.opener.open(request, timeout=30) as response:
                return response.status, response.read()
        except urllib.error.HTTPError as e:
            return e.code, e.read()


class WebConsoleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server("--web-port", "0", "--rcon-login-failures", "3",
                            "--rcon-lockout-ms", "2500", "--rcon-login-failures-per-second", "0")
        cls.base = "http://127.0.0.1:%s" % WEB.search(cls.server.wait_for_stderr(WEB)).group(1)

    @classmethod
    def tearDownClass(cls):
        code = cls.server.stop()  # a clean stop with browsers and streams gone or not
        assert code == 0, "exit %s:\n%s" % (code, "\n".join(cls.server.stderr_lines[-30:]))

    def audit_lines(self, text):
        return [line for line in self.server.stderr_lines if "[audit]" in line and text in line]

    def test_http_nothing_acts_without_a_session_and_its_token(self):
        anonymous, client = Http(self.base), Http(self.base)
        destroy = {"line": "DestroyTribeAll 1000001"}
        status, _ = anonymous.call("/api/command", destroy)
        self.assertEqual(status, 401)
        status, _ = anonymous.call("/api/map", headers={"Cookie": "orvane_session=" + "0" * 64})
        self.assertEqual(status, 401)
        status, body = client.call("/api/login", {"password": PASSWORD})
        self.assertEqual(status, 200, body)
        csrf = json.loads(body)["csrf"]
        cases = [  # (what, path, body, headers, raw body, expected status)
            ("no CSRF token", "/api/command", destroy, {}, None, 403),
            ("forged CSRF token", "/api/command", destroy, {"X-CSRF-Token": "f" * 64}, None, 403),
            ("bad JSON", "/api/command", None, {"X-CSRF-Token": csrf}, b"{\"line\":", 400),
            ("no line", "/api/command", {"lines": 1}, {"X-CSRF-Token": csrf}, None, 400),
            ("huge body", "/api/command", None, {"X-CSRF-Token": csrf}, b"x" * (1 << 20), 413),
            ("logout without token", "/api/logout", {}, {}, None, 403),
            ("traversal", "/static/..%2f..%2fCMakeLists.txt", None, {}, None, 400),
            ("unknown file", "/static/nope.js", None, {}, None, 404),
            ("unknown path", "/api/nope", None, {}, None, 404),
            ("GET that acts", "/api/command", None, {}, None, 405),
            ("another host name", "/api/command", destroy, {"X-CSRF-Token": csrf,
                                                            "Host": "evil.example"}, None, 403),
        ]
        for what, path, body, headers, raw, expected in cases:
            status, text = client.call(path, body, headers, raw)
            self.assertEqual(status, expected, "%s: %s" % (what, text))
        self.assertEqual(self.audit_lines("DestroyTribeAll 1000001"), [])
        status, body = client.call("/api/command", {"line": "GetOnlineNum"}, {"X-CSRF-Token": csrf})
        self.assertEqual((status, json.loads(body)["replies"]), (200, ["10"]))

    @unittest.skipIf(webdriver is None or not shutil.which("chromedriver"),
                     "chromium, chromium-driver or python3-selenium missing")
    def test_browser(self):
        options = webdriver.ChromeOptions()
        for flag in ("--headless=new", "--no-sandbox", "--window-size=1400,900"):
            options.add_argument(flag)
        browser = webdriver.Chrome(options=options)
        self.addCleanup(browser.quit)
        wait = WebDriverWait(browser, 60)
        js = browser.execute_script

        def shot(name):
            if SHOTS:
                browser.save_screenshot(os.path.join(SHOTS, "web-console-%s.png" % name))

        def run(line):
            """Runs `line` and returns its reply's text, or None when a preview comes first."""
            before = len(browser.find_elements(By.CSS_SELECTOR, ".reply"))
            browser.find_element(By.ID, "line").send_keys(line, Keys.ENTER)
            wait.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, ".reply")) > before)
            return browser.find_element(By.CSS_SELECTOR, ".reply").text

        def tribe_structures():
            return js("const g = state.map.groups.structures; let n = 0;"
                      "for (let i = 0; i < g.n; i++) n += g.alive[i] && g.cols.team[i] === %d;"
                      "return n;" % TRIBE)

        # Wrong passwords are refused; the third locks the address out of the web and RCON alike.
        browser.get(self.base + "/")
        field = browser.find_element(By.ID, "password")
        wait.until(lambda b: field.is_displayed())  # once the page knows it has no session
        shot("login")
        for attempt in range(4):
            field.clear()
            field.send_keys("wrong", Keys.ENTER)
            expected = "wrong password" if attempt < 3 else "too many failed logins"
            wait.until(lambda b: expected in b.find_element(By.ID, "login-error").text)
        rcon = RawConnection(self.server.port)
        self.assertNotEqual(rcon.login(), True)
        rcon.close()
        time.sleep(2.6)  # the lockout ends

        field.clear()
        field.send_keys(PASSWORD, Keys.ENTER)
        wait.until(lambda b: js("return window.orvaneMapStats && state.commands.length > 0"))
        self.assertEqual(tribe_structures(), 640)

        self.assertEqual(run("GetOnlineNum"), "> GetOnlineNum\n10")

        # Hover the first dino and read its ids; a click puts them in the command line.
        x, y, ids = js("const m = state.map, g = m.groups.dinos, r = m.canvas.getBoundingClientRect();"
                       "m.show.structures = m.show.actors = m.show.players = false; m.draw();"
                       "const [sx, sy] = m.toScreen(g.cols.x[0], g.cols.y[0], r.width, r.height);"
                       "return [sx - r.width / 2, sy - r.height / 2, g.cols.id1[0] + ' ' + g.cols.id2[0]];")
        canvas = browser.find_element(By.ID, "map")
        ActionChains(browser).move_to_element_with_offset(canvas, int(x), int(y)).perform()
        wait.until(lambda b: "ids " + ids in b.find_element(By.ID, "hover").text)
        ActionChains(browser).click().perform()
        self.assertEqual(browser.find_element(By.ID, "line").get_attribute("value"), ids)
        browser.find_element(By.ID, "line").clear()
        js("const m = state.map; m.show.structures = m.show.actors = m.show.players = true; m.draw();")
        shot("map")

        # The preview highlights the tribe's structures; cancel changes nothing; confirm removes them.
        run("DestroyTribeAll %d" % TRIBE)
        summary = wait.until(lambda b: b.find_element(By.ID, "preview-summary").text)
        self.assertIn("640 structures", summary)
        self.assertGreaterEqual(js("return state.map.highlight.length"), 640)
        shot("preview")
        browser.find_element(By.ID, "preview-cancel").click()
        time.sleep(0.5)
        self.assertEqual((tribe_structures(), self.audit_lines('"DestroyTribeAll')), (640, []))
        run("DestroyTribeAll %d" % TRIBE)
        wait.until(lambda b: b.find_element(By.ID, "preview-confirm").is_displayed())
        browser.find_element(By.ID, "preview-confirm").click()
        wait.until(lambda b: tribe_structures() == 0)
        wait.until(lambda b: "DestroyTribeAll" in b.find_element(By.ID, "audit").text)

        # A plugin reload does not end the session.
        run("emu.plugin reload")
        self.assertEqual(run("GetOnlineNum"), "> GetOnlineNum\n10")


if __name__ == "__main__":
    result = unittest.main(exit=False).result
    if result.skipped and not result.failures and not result.errors:
        print("skipped: %s" % result.skipped[0][1])
        sys.exit(77)
    sys.exit(0 if result.wasSuccessful() else 1)
