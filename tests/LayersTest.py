"""The layers of the product, as docs/development.md lists them, lowest first: every
#include of a product file names a header of its own layer or of a layer below, and the README's
table of folders names the product's folders, in the same order.

Usage: LayersTest.py SOURCE_DIR
"""

import os
import re
import sys

FOLDERS = ("base", "classfile", "goldformat", "loader", "gold", "report", "conformance", "app", "window")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
ITEM = re.compile(r"^\d+\. (\w+): (.*)$")
TABLE_FOLDER = re.compile(r"^\| `(\w+)/` \|")


def section_matches(path, title, pattern):
    """The matches of pattern, line by line, in the section under "## title" of a Markdown file."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    section = text.split(f"\n## {title}\n", 1)
    if len(section) < 2:
        sys.exit(f"{path} has no '## {title}' section")
    matches = []
    for line in section[1].splitlines():
        if line.startswith("#"):
            break
        match = pattern.match(line)
        if match:
            matches.append(match)
    return matches


def read_layers(notes):
    """[(name, [path prefix...])] from the numbered list under "## Layers"."""
    layers = [(match.group(1), re.findall(r"`([^`]+)`", match.group(2)))
              for match in section_matches(notes, "Layers", ITEM)]
    if not layers:
        sys.exit(f"{notes} lists no layers under '## Layers'")
    return layers


def layer_of(path, layers):
    """The index of the layer whose longest prefix starts path, or None."""
    best, best_length = None, -1
    for index, (_, prefixes) in enumerate(layers):
        for prefix in prefixes:
            if path.startswith(prefix) and len(prefix) > best_length:
                best, best_length = index, len(prefix)
    return best


def product_files(root):
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if name.endswith((".cpp", ".h", ".proto")):
                yield folder + "/" + name


def included_path(include, protos):
    """The product path an include names: folder/File.h as written, a generated X.pb.h as the
    X.proto it is made from; None for a header of no product folder."""
    if include.endswith(".pb.h"):
        return protos.get(include[: -len(".pb.h")])
    if include.split("/", 1)[0] in FOLDERS:
        return include
    return None


def violations(root, layers):
    files = list(product_files(root))
    protos = {os.path.basename(f)[: -len(".proto")]: f for f in files if f.endswith(".proto")}
    for path in files:
        own = layer_of(path, layers)
        if own is None:
            yield f"{path} belongs to no layer"
            continue
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        for include in INCLUDE.findall(text):
            target = included_path(include, protos)
            if target is None:
                continue
            other = layer_of(target, layers)
            if other is None:
                yield f"{path} includes {include}, which belongs to no layer"
            elif other > own:
                yield (f"{path} ({layers[own][0]}) includes {include} "
                       f"of the higher layer {layers[other][0]}")


def layout_mismatches(root):
    readme = [match.group(1) for match in
              section_matches(os.path.join(root, "README.md"), "Source layout", TABLE_FOLDER)]
    if tuple(readme) != FOLDERS:
        yield f"README.md's layout table names {readme}, the product's folders are {list(FOLDERS)}"


def main():
    root = sys.argv[1]
    layers = read_layers(os.path.join(root, "docs", "development.md"))
    found = list(violations(root, layers)) + list(layout_mismatches(root))
    for line in found:
        print(line)
    print(f"{len(layers)} layers; {len(found)} against them")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
