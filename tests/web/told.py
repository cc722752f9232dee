# What a screen reader is told of web pages, as the browser tells it over AT-SPI: prints, as a JSON
# string a line, "ready", then "focus ROLE: NAME / DESCRIPTION" for each object that takes the
# focus and "live POLITENESS: TEXT" for each text put into a live region, until stopped.
# Usage: told.py (on the desktop's accessibility bus, which the browser shares)
import json

import pyatspi


def say(what):
    print(json.dumps(what), flush=True)


def live(source):
    return dict(a.split(":", 1) for a in source.getAttributes() if ":" in a).get("container-live")


def on_event(event):
    source = event.source
    if event.type.startswith("object:state-changed:focused") and event.detail1:
        say(f"focus {source.getRoleName()}: {source.name} / {source.description}")
    elif event.type.startswith("object:text-changed:insert") and live(source):
        say(f"live {live(source)}: {source.queryText().getText(0, -1)}")


for kind in ("object:state-changed:focused", "object:text-changed:insert"):
    pyatspi.Registry.registerEventListener(on_event, kind)
say("ready")
pyatspi.Registry.start()
