# Headless Chromium for the web page's test and benchmark, through Debian's Selenium: software
# WebGL (SwiftShader), pages loaded from files, no network of its own, and the page's console kept.
from selenium import webdriver


def headless_chromium():
    options = webdriver.ChromeOptions()
    for flag in ("headless=new", "no-sandbox", "use-angle=swiftshader", "enable-unsafe-swiftshader",
                 "allow-file-access-from-files", "disable-background-networking", "no-first-run"):
        options.add_argument("--" + flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(options=options)
