"""A classroom server on a copy of the demo installation, and a headless Chromium at a device's
size working through its pages by their data-role hooks, as a child's taps would.

Shared by the browser test and the screenshot tool.
"""

import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

# The longest a page may take to show what a tap asked for; a loaded test machine is slow.
WAIT_SECONDS = 20


def browser_missing():
    """Why no browser can be driven here, or None when one can."""
    for program in (CHROMIUM, CHROMEDRIVER):
        if not os.access(program, os.X_OK):
            return f"{program} is not installed"
    try:
        import selenium  # noqa: F401
    except ImportError:
        return "python3-selenium is not installed"
    return None


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class ServedInstallation:
    """gaisan-server serving a fresh copy of the demo installation on a free loopback port.

    `url` is the address the server printed first, `code` the classroom code it printed second.
    Leaving the block stops the server with SIGTERM; `exit_status` is then what it exited with.
    """

    def __init__(self, server):
        self.server = server
        self.work = Path(tempfile.mkdtemp(prefix="gaisan-browser-"))
        subprocess.run([REPOSITORY / "scripts/lay-out-demo", self.work], check=True,
                       stdout=subprocess.DEVNULL)
        self.installation = self.work / "demo"
        self.data = self.installation / "data"
        self.results_file = self.data / "gaisan/成績累積データ.dat"
        self.process = None
        self.output = []
        self.exit_status = None

    def __enter__(self):
        port = free_port()
        self.process = subprocess.Popen(
            [self.server, "--listen", f"127.0.0.1:{port}", self.installation],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, encoding="utf-8")
        lines = self.process.stdout
        self.url = lines.readline().strip()
        self.code = lines.readline().strip()
        if not self.url.startswith("http://") or not re.fullmatch(r"[0-9]{6,}", self.code):
            self.process.kill()
            raise RuntimeError(f"gaisan-server did not print its address and code: "
                               f"{self.url!r} {self.code!r} {lines.read()}")
        # The rest of the output (the address's QR code, messages) is kept for a failure's
        # report, and read on so that the server never waits on a full pipe.
        threading.Thread(target=lambda: self.output.extend(lines), daemon=True).start()
        return self

    def __exit__(self, *failure):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.exit_status = self.process.wait(timeout=WAIT_SECONDS)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.exit_status = "still running after SIGTERM"
        else:
            self.exit_status = self.process.returncode
        shutil.rmtree(self.work, ignore_errors=True)
        return False


def start_browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--lang=ja",
                     "--autoplay-policy=no-user-gesture-required", "--hide-scrollbars"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


def set_device_size(browser, width, height):
    """The page's viewport exactly as a device of that size shows it, with touch."""
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
    browser.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True})


def wait_for(browser, condition, what):
    """Asks `condition` until it gives something true. An element it read that the page replaced
    meanwhile (a new screen, a reload) only means asking again."""
    from selenium.common.exceptions import StaleElementReferenceException
    from selenium.webdriver.support.ui import WebDriverWait

    return WebDriverWait(browser, WAIT_SECONDS, poll_frequency=0.02,
                         ignored_exceptions=(StaleElementReferenceException,)).until(
        lambda _: condition(), message=f"the page never showed {what}")


def by_role(browser, role):
    """The shown elements of a data-role."""
    from selenium.webdriver.common.by import By

    return [found for found in browser.find_elements(By.CSS_SELECTOR, f'[data-role="{role}"]')
            if found.is_displayed()]


def one_by_role(browser, role):
    return wait_for(browser, lambda: (by_role(browser, role) or [None])[0], f"a {role}")


def screen_of(browser):
    return browser.execute_script("return document.getElementById('screen').className")


def wait_for_screen(browser, screen):
    wait_for(browser, lambda: screen_of(browser) == f"screen-{screen}", f"the {screen} screen")


def scrolls_sideways(browser):
    return browser.execute_script(
        "return document.documentElement.scrollWidth > window.innerWidth")


def enter_code(browser, code):
    wait_for_screen(browser, "code")
    one_by_role(browser, "code").send_keys(code)
    one_by_role(browser, "code-ok").click()
    wait_for_screen(browser, "names")


def choose_student(browser):
    """Taps the first child of the name list and returns the child's number."""
    student = one_by_role(browser, "student")
    number = int(student.get_attribute("data-student"))
    student.click()
    wait_for_screen(browser, "menu")
    return number


def choose_level(browser, level):
    from selenium.webdriver.common.by import By

    start = wait_for(browser, lambda: browser.find_element(
        By.CSS_SELECTOR, f'[data-role="level"][data-level="{level}"]'), f"level {level}")
    if start.get_attribute("disabled") is not None:
        raise AssertionError(f"level {level} may not be run")
    start.click()
    wait_for_screen(browser, "drill")


# The place a problem's instruction names, as the power of ten its numbers are rounded to.
PLACES = {"十": 1, "百": 2, "千": 3, "一万": 4}


def right_answers(first, second, instruction):
    """The two rounded numbers and their sum, rounding half up at the place the instruction names."""
    place = next(exponent for name, exponent in sorted(PLACES.items(), key=lambda p: -len(p[0]))
                 if instruction.startswith(name + "の位"))
    unit = 10 ** place

    def rounded(number):
        return (number + unit // 2) // unit * unit

    return [rounded(first), rounded(second), rounded(first) + rounded(second)]


def tap_keys(browser, keys):
    """Taps the pad's keys, one after the other, as fast as a child's fingers never could."""
    from selenium.webdriver.common.by import By

    for key in keys:
        browser.find_element(By.CSS_SELECTOR, f'[data-key="{key}"]').click()


def text_of(browser, role):
    """The text of the shown element of a data-role, or None while none shows; never waits, so
    that a condition can ask it while the screen changes."""
    from selenium.common.exceptions import StaleElementReferenceException

    try:
        shown = by_role(browser, role)
        return shown[0].text.strip() if shown else None
    except StaleElementReferenceException:
        return None


def shown_problem(browser):
    """The problem shown, as its two numbers and its instruction, once its answer boxes are
    empty; None before."""
    if screen_of(browser) != "screen-drill" or by_role(browser, "acknowledge"):
        return None
    if any(text_of(browser, box) != "" for box in ("answer1", "answer2", "answer3")):
        return None
    first, second = text_of(browser, "first-number"), text_of(browser, "second-number")
    instruction = text_of(browser, "instruction")
    if not (first and second and instruction):
        return None
    return int(first), int(second), instruction


def answer(browser, boxes):
    """Types the three answers, each closed with the key that moves on, and waits for the
    judgement: the count of problems left changed, a wrong answer's acknowledge button, or the
    run's end. Returns whether the answer was judged wrong."""
    remaining = text_of(browser, "remaining")
    keys = []
    for box in boxes:
        keys += list(str(box)) + ["next"]
    tap_keys(browser, keys)

    def judged():
        if screen_of(browser) != "screen-drill":
            return "ended"
        if by_role(browser, "acknowledge"):
            return "wrong"
        if browser.execute_script("return !document.querySelector('.ending').hidden"):
            return "ended"
        return "right" if text_of(browser, "remaining") != remaining else None

    return wait_for(browser, judged, "the answer judged") == "wrong"


def acknowledge(browser):
    one_by_role(browser, "acknowledge").click()
    wait_for(browser, lambda: not by_role(browser, "acknowledge"), "the acknowledgement taken")


def work_run(browser, wrong_at=(), each_problem=None):
    """Works the run on the page until the finish screen, answering wrong on the problems counted
    (from 0) in `wrong_at` and acknowledging each. Returns the wrong answers typed, as
    (first, second, typed boxes). `each_problem(index, wrong)` is called once an answer is judged."""
    wrong_typed = []
    index = 0
    while True:
        problem = wait_for(
            browser, lambda: screen_of(browser) == "screen-finish" or shown_problem(browser),
            "a problem or the finish screen")
        if problem is True:
            return wrong_typed
        first, second, instruction = problem
        boxes = right_answers(first, second, instruction)
        if index in wrong_at:
            # A sum off by a thousand: the rounding is right, the adding is not.
            boxes[2] += 1000
            wrong_typed.append((first, second, boxes))
        wrong = answer(browser, boxes)
        if wrong != (index in wrong_at):
            raise AssertionError(f"{boxes} for {first} + {second} ({instruction}) was judged "
                                 f"{'wrong' if wrong else 'right'}")
        if each_problem:
            each_problem(index, wrong)
        if wrong:
            acknowledge(browser)
        index += 1
