# Prints every accessible object that carries a description (the designer name).
import pyatspi, sys
desk = pyatspi.Registry.getDesktop(0)
found = {}
def walk(node, depth=0):
    try:
        desc = node.description
        name = node.name
        role = node.getRoleName()
    except Exception:
        return
    if desc:
        found[desc] = (role, name)
    for i in range(node.childCount):
        try:
            walk(node.getChildAtIndex(i), depth+1)
        except Exception:
            pass
for app in desk:
    if app is None: continue
    walk(app)
for k in sorted(found):
    print(k, found[k])
