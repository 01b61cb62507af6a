"""Keeps the layering true: no include cycle between the folders of src/, no toolkit or
system header outside the platform backends and main.cpp, no message box below the
features (the network, file, package and data folders report what happened and never
speak), and nothing outside the file module creates, removes or renames a file."""
import collections
import os
import re
import sys

SYSTEM_HEADERS = re.compile(r'#include <(wx/|curl/|gtk|glib|unistd\.h|fcntl\.h|spawn\.h|dlfcn\.h|iconv\.h|'
                            r'langinfo\.h|sys/|signal\.h|pthread\.h)')
BACKENDS = ("src/platform/wx/", "src/platform/posix/", "src/platform/curl/")
SILENT_FOLDERS = ("src/web/", "src/files/", "src/package/", "src/store/")
# Saves must stay durable and atomic: one module changes what is on disk.
FILE_CHANGES = re.compile(r'(std::filesystem|fs)::(create_director|create_symlink|create_hard_link|remove|rename|'
                          r'copy|permissions|resize_file)|#include "platform/FileCalls\.h"|filecalls::')
FILE_MODULE = ("src/files/", "src/platform/")


def node_of(parts):
    """The layer a file belongs to: its folder under src/, where each platform backend
    (platform/wx, platform/headless, ...) stands apart from the platform's interfaces, since a
    backend implements what the features declare."""
    if len(parts) < 2:
        return None
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    return parts[0]


def main(source_dir):
    src = os.path.join(source_dir, "src")
    edges = collections.defaultdict(set)
    faults = []
    for root, _, files in os.walk(src):
        for name in files:
            path = os.path.join(root, name)
            relative = os.path.relpath(path, source_dir)
            text = open(path, encoding="utf-8", errors="replace").read()
            if SYSTEM_HEADERS.search(text) and not relative.startswith(BACKENDS) and relative != "src/main.cpp":
                faults.append(f"{relative} includes a toolkit or system header")
            if relative.startswith(SILENT_FOLDERS) and '#include "platform/Ui.h"' in text:
                faults.append(f"{relative} includes platform/Ui.h: return an Outcome and let the caller speak")
            if not relative.startswith(FILE_MODULE) and FILE_CHANGES.search(text):
                faults.append(f"{relative} changes files itself: go through src/files/")
            parts = relative.split(os.sep)
            if len(parts) < 3:
                continue
            folder = node_of(parts[1:])
            for include in re.findall(r'#include "([^"]+)"', text):
                target = node_of(include.split("/"))
                if target and target != folder:
                    edges[folder].add(target)

    state = {}

    def visit(folder, stack):
        state[folder] = "open"
        stack.append(folder)
        for target in sorted(edges.get(folder, ())):
            if state.get(target) == "open":
                faults.append("include cycle: " + " -> ".join(stack[stack.index(target):] + [target]))
            elif target not in state:
                visit(target, stack)
        stack.pop()
        state[folder] = "done"

    for folder in sorted(edges):
        if folder not in state:
            visit(folder, [])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
