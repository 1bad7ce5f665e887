#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The platform layer is the lowest: nothing under platform/ may include the program's
# windows, recording logic, analysis or mixer setup.
#   layers_point_down.sh SOURCE_DIR
found=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](app|audio|analysis|mixer)/' \
    "$1/platform")
if [ -n "$found" ]; then
    echo "platform/ includes a layer above it:" >&2
    echo "$found" >&2
    exit 1
fi
