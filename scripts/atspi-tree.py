# SPDX-License-Identifier: GPL-3.0-or-later
# Prints Tessmar's accessibility tree as a screen reader sees it over AT-SPI, starts a
# recording through the button's action and reads the note display.
import sys, time
import pyatspi

def find_app():
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "tessmar":
                return app
        time.sleep(0.2)
    sys.exit("tessmar not on the accessibility bus")

def walk(node, depth=0, found=None):
    relations = []
    for r in node.getRelationSet():
        if r.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            relations.append("labelled by %r" % r.getTarget(0).name)
    states = node.getState()
    if depth and not states.contains(pyatspi.STATE_SHOWING):
        return
    line = "%s%s %r" % ("  " * depth, node.getRoleName(), node.name)
    if node.description:
        line += " – %s" % node.description
    if relations:
        line += " (%s)" % ", ".join(relations)
    print(line)
    for child in node:
        if child is not None:
            walk(child, depth + 1, found)

app = find_app()
walk(app)
window = app[0]
def by_name(node, name):
    if node.name == name:
        return node
    for child in node:
        hit = by_name(child, name) if child is not None else None
        if hit:
            return hit
start = by_name(window, "Aufzeichnung starten")
start.queryAction().doAction(0)
time.sleep(3)
notes = [c.name for c in window if c is not None and c.description == "Gesungene Note und Oktave"]
print("note display during the take:", notes)
by_name(window, "Abbrechen").queryAction().doAction(0)
