# SPDX-License-Identifier: GPL-3.0-or-later
# The rules of the database's columns that the awk yardsticks share; given
# to awk before the yardstick itself (-f database_columns.awk -f <yardstick>).

# Field k of the line; fields repeat from the start when a line has fewer.
function slot(k) { return NF ? $((k - 1) % NF + 1) : "" }

function unquote(s) {
    if (substr(s, 1, 1) == "\"") s = substr(s, 2)
    if (substr(s, length(s)) == "\"") s = substr(s, 1, length(s) - 1)
    return s
}

# The callsign and locator columns, from the headings of the line in hand.
function findColumns(   k, h) {
    callCol = 0
    locCol = 0
    for (k = 1; k <= 8; k++) {
        h = slot(k)
        if (toupper(h) == "CALL") callCol = k
        if (toupper(h) == "LOCATOR") locCol = k
    }
}
