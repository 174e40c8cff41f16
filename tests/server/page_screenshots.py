#!/usr/bin/python3
"""Screenshots of every page of the classroom server, at the sizes of the classroom's devices,
for a person to look at: the classroom code, the name list, the level menu, the drill with a
wrong answer shown, and the finish screen.

Usage: page_screenshots.py OUTPUT_FOLDER GAISAN_SERVER
       page_screenshots.py OUTPUT_FOLDER --url URL --code CODE   (a server already running)

Each page is also checked for sideways scrolling, which is printed beside its file name.
"""

import argparse
import contextlib
import sys
import time
from pathlib import Path

import classroom_browser as page

SIZES = [("landscape-1024x768", 1024, 768), ("portrait-768x1024", 768, 1024),
         ("wide-1366x768", 1366, 768)]


def take(browser, folder, name):
    path = folder / f"{name}.png"
    browser.save_screenshot(str(path))
    sideways = " SCROLLS SIDEWAYS" if page.scrolls_sideways(browser) else ""
    print(f"{path}{sideways}")


def take_every_page(browser, url, code, folder, size):
    browser.get(url)
    page.wait_for_screen(browser, "code")
    page.one_by_role(browser, "code").send_keys(code)
    take(browser, folder, f"{size}-1-code")
    page.one_by_role(browser, "code-ok").click()
    page.wait_for_screen(browser, "names")
    take(browser, folder, f"{size}-2-names")
    page.choose_student(browser)
    take(browser, folder, f"{size}-3-menu")
    page.choose_level(browser, 1)

    def after_answer(index, wrong):
        if wrong:
            take(browser, folder, f"{size}-4-drill-wrong")

    page.work_run(browser, wrong_at=(0,), each_problem=after_answer)
    # The buttons come half a second after the screen.
    page.one_by_role(browser, "to-menu")
    take(browser, folder, f"{size}-5-finish")


def main():
    arguments = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    arguments.add_argument("folder", type=Path)
    arguments.add_argument("server", nargs="?")
    arguments.add_argument("--url")
    arguments.add_argument("--code")
    given = arguments.parse_args()
    if bool(given.server) == bool(given.url and given.code):
        arguments.error("give either GAISAN_SERVER or --url and --code")
    missing = page.browser_missing()
    if missing:
        sys.exit(missing)
    given.folder.mkdir(parents=True, exist_ok=True)

    with contextlib.ExitStack() as stack:
        if given.server:
            served = stack.enter_context(page.ServedInstallation(given.server))
            url, code = served.url, served.code
        else:
            url, code = given.url, given.code
        for size, width, height in SIZES:
            browser = page.start_browser()
            try:
                page.set_device_size(browser, width, height)
                take_every_page(browser, url, code, given.folder, size)
            finally:
                browser.quit()


if __name__ == "__main__":
    main()
