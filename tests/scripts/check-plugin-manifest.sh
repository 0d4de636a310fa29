#!/bin/sh
# Checks a plug-in's manifest: the class $2 is there, derived from
# RectControl, with the events $3... in this order from slot 13 on.
manifest=$1 class=$2
shift 2
awk -v class="$class" -v events="$*" '
    $1 == "class" && $2 == class { inside = 1; found = ($3 == "super=RectControl"); next }
    inside && $1 == "end" { inside = 0 }
    inside && $1 == "event" { seen = seen (seen == "" ? "" : " ") $2 ":" substr($3, 1, index($3, "%") - 1) }
    END {
        n = split(events, want, " ")
        expected = ""
        for (i = 1; i <= n; i++) expected = expected (i > 1 ? " " : "") (12 + i) ":" want[i]
        if (!found) { print "no class " class " derived from RectControl"; exit 1 }
        if (seen != expected) { print "events: " seen "; expected: " expected; exit 1 }
    }' "$manifest"
