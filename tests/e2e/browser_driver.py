#!/usr/bin/python3
"""A headless Chromium for the site tests, driven over stdin and stdout.

Each input line is a JSON command; each answer is one JSON line:
  {"open": URL}                       loads a page
  {"type": [NAME, TEXT]}              types TEXT at the end of field NAME
  {"choose": [NAME, VALUE]}           chooses the option VALUE of select NAME
  {"click": NAME}                     clicks the first control named NAME
  {"submit": true}                    presses the first form's submit button
                                      and waits for the answer page
  {"back": true}                      goes back to the page before
The answer is "ok " and the page's visible text, or "error " and what went
wrong, the text as hexadecimal UTF-8; the first line, before any command,
says whether the browser started. The browser itself rewrites what it
sends, which is why the site is tried through one.
"""

import json
import sys

from selenium import webdriver
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def start():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage"):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def run(browser, command):
    if "open" in command:
        browser.get(command["open"])
    elif "type" in command:
        name, text = command["type"]
        browser.find_element(By.NAME, name).send_keys(text)
    elif "choose" in command:
        # By the option's exact value, which may hold a line feed (that
        # Select's CSS selectors cannot name).
        name, value = command["choose"]
        select = browser.find_element(By.NAME, name)
        if not browser.execute_script(
                "for (const o of arguments[0].options) if (o.value === arguments[1]) { o.selected = true; return true; }"
                " return false;", select, value):
            raise ValueError("no option " + repr(value))
    elif "click" in command:
        browser.find_element(By.NAME, command["click"]).click()
    elif "back" in command:
        browser.back()
        WebDriverWait(browser, 20).until(lambda b: b.execute_script("return document.readyState === 'complete';"))
    elif "submit" in command:
        # The page answering the form is the first one loaded without this
        # mark. (Watching the old page's element go stale is not reliable:
        # chromedriver may answer for a node of the unloaded document with
        # an error of its own.)
        browser.execute_script("window.qfSubmitted = true;")
        browser.find_element(By.CSS_SELECTOR, "form input[type=submit]").click()
        WebDriverWait(browser, 20, ignored_exceptions=(WebDriverException,)).until(
            lambda b: b.execute_script("return !window.qfSubmitted && document.readyState === 'complete';"))
    else:
        raise ValueError("unknown command")
    # A document without a body (XML) answers with the text of its root.
    return browser.execute_script(
        "return document.body ? document.body.innerText : document.documentElement.textContent;")


def answer(ok, text):
    print(("ok " if ok else "error ") + text.encode().hex(), flush=True)


def main():
    try:
        browser = start()
    except Exception as error:  # no browser: the first answer says why
        answer(False, str(error))
        return
    answer(True, "")
    for line in sys.stdin:
        if not line.strip():
            continue
        try:
            answer(True, run(browser, json.loads(line)))
        except Exception as error:
            answer(False, type(error).__name__ + ": " + str(error))
    browser.quit()


if __name__ == "__main__":
    main()
