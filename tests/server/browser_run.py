#!/usr/bin/python3
"""A child's run in a real browser: headless Chromium at the size of a 10-inch tablet enters the
classroom code (a wrong one first), picks a child, chooses level 1 and works the whole run by
tapping the number pad, answering two problems wrong and acknowledging each, with a reload of
the page in the middle. The results file then holds exactly one new record of that child and
level, whose time the finish screen showed, and the answers hold the two wrong answers as
typed. The page played the run's sounds and reported no error. The server stops on SIGTERM
with status 0.

Usage: browser_run.py GAISAN_SERVER GAISAN_RECORDS
Exits with 77 (skipped) where no browser can be driven.
"""

import csv
import io
import subprocess
import sys
import time

import classroom_browser as page

SKIPPED = 77
LEVEL = 1
WRONG_AT = (1, 3)
RELOAD_AFTER = 2


def fail(message):
    sys.exit(f"FAIL: {message}")


def dumped_records(records, served):
    if not served.results_file.exists():
        return []
    dump = subprocess.run([records, "dump", served.results_file], check=True,
                          capture_output=True, text=True).stdout
    return [line.split("\t") for line in dump.splitlines() if line]


def answer_rows(records, served):
    written = subprocess.run([records, "answers", served.data / "gaisan", "--encoding", "utf-8"],
                             check=True, capture_output=True, text=True, encoding="utf-8-sig")
    rows = list(csv.reader(io.StringIO(written.stdout)))
    return rows[1:]


def work_the_run(browser, served):
    """Works a run on the page and returns the child's number, the wrong answers typed and the
    finish screen's time and points."""
    browser.get(served.url)
    page.wait_for_screen(browser, "code")
    if page.by_role(browser, "student"):
        fail("a name shows before the classroom code was entered")
    wrong_code = served.code[:-1] + str((int(served.code[-1]) + 1) % 10)
    page.one_by_role(browser, "code").send_keys(wrong_code)
    page.one_by_role(browser, "code-ok").click()
    page.wait_for(browser, lambda: browser.find_element("css selector", ".code-error").text,
                  "the wrong code's message")
    if page.screen_of(browser) != "screen-code":
        fail("a wrong classroom code let the device in")
    page.one_by_role(browser, "code").clear()
    # After a wrong code the server takes the next try only a second later.
    time.sleep(1.2)
    page.enter_code(browser, served.code)
    student = page.choose_student(browser)
    page.choose_level(browser, LEVEL)

    def check_each(index, wrong):
        if page.scrolls_sideways(browser):
            fail(f"the drill scrolls sideways after problem {index}")
        if index == RELOAD_AFTER:
            remaining = page.text_of(browser, "remaining")
            browser.refresh()
            page.wait_for(browser, lambda: page.text_of(browser, "remaining") == remaining,
                          f"the run resumed with {remaining} problems left after a reload")

    wrong_typed = page.work_run(browser, wrong_at=WRONG_AT, each_problem=check_each)
    finish_time = page.text_of(browser, "finish-time")
    finish_points = page.text_of(browser, "finish-points")
    page.one_by_role(browser, "to-menu")
    if page.scrolls_sideways(browser):
        fail("the finish screen scrolls sideways")
    sounds = browser.execute_script(
        "return performance.getEntriesByType('resource')"
        ".filter((entry) => entry.name.includes('/sound/')).length")
    if sounds == 0:
        fail("the page fetched none of the run's sounds")
    # The wrong code's refusal is the one failed request the browser logs by right.
    errors = [entry for entry in browser.get_log("browser") if entry["level"] == "SEVERE"
              and not ("/api/code" in entry["message"] and "403" in entry["message"])]
    if errors:
        fail(f"the page reported errors: {errors}")
    return student, wrong_typed, finish_time, finish_points


def check_records(records, served, before, student, finish_time, finish_points):
    new = dumped_records(records, served)[len(before):]
    if len(new) != 1:
        fail(f"expected one new record, found {new}")
    record = new[0]
    if (int(record[3]), int(record[4])) != (student, LEVEL):
        fail(f"the record is not of student {student} at level {LEVEL}: {record}")
    seconds = record[5]
    if seconds == "99999" or seconds not in finish_time:
        fail(f"the finish screen's time {finish_time!r} is not the record's {seconds} seconds")
    if not any(character.isdigit() for character in finish_points):
        fail(f"the finish screen shows no points: {finish_points!r}")


def check_answers(records, served, answers_before, student, wrong_typed):
    rows = [row for row in answer_rows(records, served)[len(answers_before):]
            if int(row[2]) == student and int(row[5]) == LEVEL]
    if len(rows) < len(wrong_typed):
        fail(f"the run's answers are missing: {rows}")
    wrong_rows = [row for row in rows if any(row[12:15])]
    found = [(int(row[6]), int(row[7]), [int(box) for box in row[9:12]]) for row in wrong_rows]
    if found != wrong_typed:
        fail(f"the wrong answers recorded {found} are not those typed {wrong_typed}")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    server, records = sys.argv[1:]
    missing = page.browser_missing()
    if missing:
        print(f"skipped: {missing}")
        sys.exit(SKIPPED)

    with page.ServedInstallation(server) as served:
        before = dumped_records(records, served)
        answers_before = answer_rows(records, served)
        browser = page.start_browser()
        try:
            page.set_device_size(browser, 1024, 768)
            student, wrong_typed, finish_time, finish_points = work_the_run(browser, served)
        finally:
            browser.quit()
        check_records(records, served, before, student, finish_time, finish_points)
        check_answers(records, served, answers_before, student, wrong_typed)
    if served.exit_status != 0:
        fail(f"gaisan-server ended with {served.exit_status} on SIGTERM: {''.join(served.output)}")
    print(f"browser run: ok (student {student}, {finish_time}, {finish_points}, "
          f"{len(wrong_typed)} wrong answers recorded as typed)")


if __name__ == "__main__":
    main()
