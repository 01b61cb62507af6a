"""Articles in the real window, against the loopback article directory: the waiting page and
the list, an article page with its links, saving and unsaving, the read mark, and a directory
that answers with an error page or not at all."""
import json
import os
import subprocess
import time

import pyatspi

from harness import (
    DEMO_HELP_HEADING, FeedSim, build_demo_package, check, feedsim, run_scenario, session,
    wait_until)

WAITING = "Fetching Article Data - Please Wait"
EMPTY_LIST = "There are no articles in the EzineArticles.com article feed"
SAVED_HEADING = "Your Saved Articles"
SAVED_MESSAGE = ("This article has been added to the Saved Articles list\n\n"
                 "The Saved Articles are shown below the current articles")
UNSAVE_QUESTION = "Delete this article from the Saved Articles list?"
SAVE_LINK = "Save this article"
UNSAVE_LINK = "Delete this article from the Saved Articles list"
BACK_LINK = "Go back to article list"

# Two articles of the demo's category as the list shows them, and the first line of each
# article, which heads its page.
FIRST = "Why dog training matters more than you think (part 3)"
FIRST_HEADING = "Why Dog Training Matters More Than You Think (Part 3)"
SECOND = "The caf\u00e9 owner's guide to dog training, chapter 3"
SECOND_HEADING = "The Caf\u00e9 Owner's Guide to Dog Training, Chapter 3"
# The feed wraps this one's title in a CDATA section.
WRAPPED = "Dog training & you: 3 things nobody tells you"


def link_names(runtime):
    return [link.name or "" for link in runtime.find_all("link")]


def is_article_title(name):
    # Every title of the demo's category names its topic; the footer credit names the academy.
    return "dog training" in (name or "").lower() and "Academy" not in name


def article_titles(names):
    return [name for name in names if is_article_title(name)]


def click_link_containing(runtime, text):
    # The demo's style sheet puts a marker in front of some links.
    link = wait_until(lambda: next((l for l in runtime.find_all("link") if text in (l.name or "")), None),
                      f"a link containing '{text}'")
    runtime.activate(link)


def show_saved_section(runtime):
    """Scrolls the saved section, below the hundred listed articles, into view."""
    saved = [link for link in runtime.find_all("link") if is_article_title(link.name)]
    try:
        saved[-1].queryComponent().scrollTo(pyatspi.SCROLL_ANYWHERE)
    except Exception:
        pass  # only the screenshot misses it
    time.sleep(0.5)


def marked_read(runtime, title):
    # The style sheet writes "read" behind a list line of an article opened before.
    return title + "read" in runtime.page_text()


def wait_for_list(runtime, saved):
    """The article list with exactly `saved` (list titles, newest first) under its saved heading."""
    def shown():
        names = link_names(runtime)
        # A saved article is listed twice: in the feed's list and in the saved section.
        listed = [name for name in article_titles(names) if names.count(name) == 2]
        in_saved_section = listed[len(listed) // 2:] if listed else []
        has_heading = SAVED_HEADING in runtime.page_text()
        return in_saved_section == saved and has_heading == bool(saved) and FIRST in names
    wait_until(shown, f"the article list with {saved} saved")


def open_article(runtime, title, heading):
    runtime.click_link(title)
    runtime.wait_for_page_text(heading)
    wait_until(lambda: any(BACK_LINK in name for name in link_names(runtime)), "the article's back link")


def exported(args, lum):
    tool = os.path.join(args.build_dir, "tools", "qen-data", "qen-data")
    result = subprocess.run([tool, "export", lum], capture_output=True, check=True)
    return json.loads(result.stdout)


def read_save_and_unsave(runtime, simulator):
    runtime.click_link("Articles")
    runtime.wait_for_page_text(WAITING)
    runtime.screenshot("waiting")
    runtime.wait_for_page_text("The Most Recent Dog Training Articles")
    wait_for_list(runtime, [])
    names = link_names(runtime)
    check(WRAPPED in names, f"the CDATA title is not shown as its text: {names[:12]}")
    titles = article_titles(names)
    check(len(titles) == 100, f"the list shows {len(titles)} articles, not the feed's first 100")
    runtime.screenshot("list")

    open_article(runtime, FIRST, FIRST_HEADING)
    text = runtime.page_text()
    check("Every dog training plan starts with patience." in text, "the article's text is missing")
    check("Editor's note" not in text, "a bracketed note was left in the text")
    names = link_names(runtime)
    for link in ("Download the free Dog Training guide", "http://www.example.com/forum", SAVE_LINK,
                 "View this article on EzineArticles.com"):
        check(link in names, f"the article has no link '{link}': {names}")
    check(UNSAVE_LINK not in names, "an article never saved offers to delete it from the saved list")
    runtime.screenshot("article")

    runtime.click_link("View this article on EzineArticles.com")
    wait_until(lambda: any(address.startswith(simulator.address + "/?id=")
                           for address in runtime.opened_externally()),
               "the article's own page in the user's browser")

    runtime.click_link(SAVE_LINK)
    dialog = runtime.wait_for_dialog(SAVED_MESSAGE)
    runtime.screenshot("saved-message")
    runtime.press(dialog, "OK")
    wait_for_list(runtime, [FIRST])
    check(marked_read(runtime, FIRST), "the opened article has no read mark")
    check(not marked_read(runtime, SECOND), "an article never opened has a read mark")
    show_saved_section(runtime)
    runtime.screenshot("saved-list")

    # Opened again, the article offers to leave the saved list; Cancel keeps it there.
    open_article(runtime, FIRST, FIRST_HEADING)
    check(SAVE_LINK not in link_names(runtime), "a saved article offers to be saved again")
    runtime.click_link(UNSAVE_LINK)
    runtime.press(runtime.wait_for_dialog(UNSAVE_QUESTION), "Cancel")
    runtime.wait_for_page_text(FIRST_HEADING)
    check(UNSAVE_LINK in link_names(runtime), "Cancel left the article page")
    click_link_containing(runtime, BACK_LINK)
    wait_for_list(runtime, [FIRST])

    # Back from an article, the list marks it as read.
    open_article(runtime, SECOND, SECOND_HEADING)
    click_link_containing(runtime, BACK_LINK)
    wait_for_list(runtime, [FIRST])
    wait_until(lambda: marked_read(runtime, SECOND), "the read mark of the article just read")

    # The newest saved article comes first.
    open_article(runtime, SECOND, SECOND_HEADING)
    runtime.click_link(SAVE_LINK)
    runtime.press(runtime.wait_for_dialog(SAVED_MESSAGE), "OK")
    wait_for_list(runtime, [SECOND, FIRST])

    open_article(runtime, FIRST, FIRST_HEADING)
    runtime.click_link(UNSAVE_LINK)
    runtime.press(runtime.wait_for_dialog(UNSAVE_QUESTION), "OK")
    wait_for_list(runtime, [SECOND])
    check(marked_read(runtime, FIRST) and marked_read(runtime, SECOND), "an opened article lost its read mark")
    show_saved_section(runtime)
    runtime.screenshot("after-unsave")
    check(runtime.close_window() == 0, "the program did not end cleanly")


def with_a_failing_directory(runtime, args, package, fault, message):
    """The list and the saved article against a directory that misbehaves: the empty-list
    text, the saved section, and the article page's message."""
    broken = FeedSim(args, fault=fault)
    try:
        # Only the article directory misbehaves.
        runtime.extra_environment["QEN_ARTICLE_FEED_HOST"] = broken.host
        runtime.extra_environment["QEN_ARTICLE_SITE_HOST"] = broken.host
        runtime.start(package)
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        runtime.click_link("Articles")
        if fault == "hang":
            runtime.wait_for_page_text(WAITING)
        runtime.wait_for_page_text(EMPTY_LIST, timeout=40)
        wait_for_list_of_saved_only(runtime, SECOND)
        show_saved_section(runtime)
        runtime.screenshot(f"{fault}-list")

        runtime.click_link(SECOND)
        dialog = runtime.wait_for_dialog(message, timeout=40)
        runtime.screenshot(f"{fault}-message")
        runtime.press(dialog, "OK")
        wait_until(lambda: any(BACK_LINK in name for name in link_names(runtime)), "the article page")
        names = link_names(runtime)
        check(SAVE_LINK not in names and UNSAVE_LINK not in names,
              f"an article without text offers to save or unsave it: {names}")
        check(SECOND_HEADING not in runtime.page_text(), "an article without text has a heading")
        check(runtime.close_window() == 0, f"{fault}: the program did not end cleanly")
    finally:
        broken.stop()


def wait_for_list_of_saved_only(runtime, title):
    def shown():
        names = link_names(runtime)
        return SAVED_HEADING in runtime.page_text() and names.count(title) == 1 and FIRST not in names
    wait_until(shown, f"the saved article '{title}' alone")


def scenario(args):
    with session(args, "articles") as runtime:
        package = build_demo_package(args, runtime.root)
        # The feed comes in pieces over about 8 seconds, so the waiting page stays in view
        # long enough to be read through the accessibility tree, which answers slowly while
        # the program waits for a download.
        with feedsim(args, runtime, drip_ms=400) as simulator:
            runtime.extra_environment["QEN_ARTICLE_FEED_HOST"] = simulator.host + "/fault/drip"
            runtime.start_on_help_page(package)
            read_save_and_unsave(runtime, simulator)

            data = exported(args, package[:-4] + ".lum")
            saved = data["SavedArticles"]
            check(len(saved) == 1 and saved[0]["title"].endswith("Chapter 3"), f"saved articles: {saved}")
            viewed = data["ViewedArticleKeys"].split(" ")
            check(len(viewed) == 4 and viewed[0] == viewed[-1] == "" and saved[0]["key"] in viewed,
                  f"viewed articles: {data['ViewedArticleKeys']!r}")

            with_a_failing_directory(runtime, args, package, "html-error",
                                     "Article page does not contain <textarea> tag")
            with_a_failing_directory(runtime, args, package, "hang",
                                     "No article page data retrieved from EzineArticles.com")


if __name__ == "__main__":
    run_scenario(scenario)
