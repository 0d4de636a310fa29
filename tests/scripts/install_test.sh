#!/usr/bin/env bash
# An installation into a staging folder (DESTDIR and a prefix, as packagers
# do): the calculator, the tools, the desktop entry, the icons in their
# freedesktop sizes and the manual pages land where desktops and man look
# for them; the installed tools build further programs from Kestlang source
# with nothing but what was installed, one of them with a control of the
# installed plug-in, and they run; the installed calculator, started from
# elsewhere, finds its image and plug-in in itself and opens its window.
#   install_test.sh BUILD-DIR RUN-I386
# Runs on a display of its own (scripts/with-xvfb).
set -u
build=$1
run_i386=$2
stage=$(mktemp -d "${TMPDIR:-/tmp}/kq-install.XXXXXX")
trap 'rm -rf "$stage"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

DESTDIR=$stage cmake --install "$build" --prefix /opt/pw >"$stage/install.log" 2>&1 ||
    { cat "$stage/install.log"; echo "FAIL: cmake --install"; exit 1; }
root=$stage/opt/pw

for program in pillwerk kqc kqlink; do
    [ -x "$root/bin/$program" ] || fail "bin/$program is not installed as a program"
done

desktop=$root/share/applications/pillwerk.desktop
grep -qx "Exec=pillwerk" "$desktop" || fail "the desktop entry does not start pillwerk"
grep -qx "Icon=pillwerk" "$desktop" || fail "the desktop entry does not name the icon pillwerk"

# Each icon is a PNG of the size its folder names (width and height are the
# big-endian words at bytes 16 and 20 of the IHDR chunk).
for size in 16 32 48 128; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/pillwerk.png
    if [ ! -f "$icon" ]; then
        fail "no ${size}x${size} icon"
        continue
    fi
    header=$(od -An -tx1 -N24 "$icon" | tr -d ' \n')
    expected=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")
    [ "$header" = "$expected" ] || fail "the ${size}x${size} icon is no PNG of that size"
done

# The manual pages format and name their tool.
for tool in kqc kqlink; do
    page=$root/share/man/man1/$tool.1
    [ -f "$page" ] || { fail "no manual page $tool.1"; continue; }
    MANWIDTH=80 man -l "$page" 2>/dev/null | grep -Eq "^ *$tool +- " ||
        fail "$tool.1 does not format to a page about $tool"
done

# The installed tools run: kqc explains its use, kqlink reads the image the
# installed calculator carries, with the plug-in library among its resources.
"$root/bin/kqc" >/dev/null 2>"$stage/kqc.err"
[ $? -eq 2 ] && grep -q "^usage: kqc" "$stage/kqc.err" || fail "the installed kqc does not run"
"$root/bin/kqlink" --dump "$root/bin/pillwerk" >"$stage/dump.txt" 2>&1 ||
    fail "the installed pillwerk carries no readable image: $(head -3 "$stage/dump.txt")"
grep -q "KQPl" "$stage/dump.txt" || fail "the installed image carries no plug-in library"

# Builds the program NAME of $app/NAME.kqp with the installed tools alone,
# the way the manual pages show, into $app/NAME; the tools' messages go to
# $stage/NAME.log.
app=$stage/app
mkdir "$app" "$stage/run"
build_program() {
    (cd "$app" && "$root/bin/kqc" -o "$1.s" "$1.kqp" && as --32 -o "$1.o" "$1.s" &&
        "$root/bin/kqlink" --project "$1.kqp" -o "$1.kq" "$1.o" &&
        "$root/bin/kqlink" --package "$1.kq" -o "$1") >"$stage/$1.log" 2>&1
}

# A console program: kqc reads the installed runtime manifest and kqlink
# packages the installed runtime, as neither is named. The program runs
# from another folder.
cat >"$app/Sum.kst" <<'EOF'
Class App Inherits ConsoleApplication
  On Run(args() As String) As Integer
    Dim total As Integer = 0
    For i As Integer = 1 To 10
      total = total + i
    Next
    Print "Summe " + Str(total)
    Return 0
  End On
End Class
EOF
printf 'name = sum\nkind = console\napplication = App\nsource = Sum.kst\n' >"$app/sum.kqp"
if build_program sum; then
    output=$(cd "$stage/run" && KQ_ERROR_REPORT=cancel "$run_i386" "$app/sum" 2>&1)
    [ "$output" = "Summe 55" ] || fail "the program built with the installed tools printed: $output"
else
    fail "the installed tools did not build a program: $(cat "$stage/sum.log")"
fi

# A window program with a plug-in control: the project names the plug-in by its bare file name, kqc finds the
# plug-in's manifest and kqlink the library in the installed plug-in folder.
# The image carries the library, and the control exists when the window
# opens (without the library the window's Open would end in a runtime error).
cat >"$app/Pfeile.kst" <<'EOF'
Class App Inherits Application
End Class

Window Fenster
  Title = "Pfeile"
  Width = 120
  Height = 80
  Control Pfeil As LittleArrows
    Left = 10
    Top = 10
    Width = 13
    Height = 23
  End Control

  On Pfeil.Up()
    Print "hoch"
  End On

  On Open()
    Print "Pfeil " + Str(Pfeil.Width) + "x" + Str(Pfeil.Height)
    Quit
  End On
End Window
EOF
printf 'name = pfeile\napplication = App\nwindow = Fenster\nsource = Pfeile.kst\nplugin = %s\n' \
    libKQAppearancePak.so >"$app/pfeile.kqp"
if build_program pfeile; then
    "$root/bin/kqlink" --dump "$app/pfeile" 2>&1 |
        grep -aq '^ *"KQPl" 65535: .*libKQAppearancePak\.so$' ||
        fail "the program built with the installed tools carries no AppearancePak library"
    output=$(cd "$stage/run" && KQ_ERROR_REPORT=cancel "$run_i386" "$app/pfeile" 2>&1)
    [ "$output" = "Pfeil 13x23" ] || fail "the program with a plug-in control printed: $output"
else
    fail "the installed tools did not build a program with a plug-in: $(cat "$stage/pfeile.log")"
fi

# The installed calculator, started from an empty folder, opens its main
# window; SIGHUP then ends it with status 0 and no runtime error report.
mkdir "$stage/elsewhere"
(cd "$stage/elsewhere" && KQ_ERROR_REPORT=cancel exec "$run_i386" "$root/bin/pillwerk") \
    >"$stage/pillwerk.out" 2>&1 &
pid=$!
shown=0
for _ in $(seq 240); do
    if xdotool search --onlyvisible --name '^DAR-Ozorado pillwerk$' >/dev/null 2>&1; then
        shown=1
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
[ $shown -eq 1 ] || fail "the installed pillwerk showed no main window: $(head -5 "$stage/pillwerk.out")"
kill -HUP "$pid" 2>/dev/null
wait "$pid"
status=$?
[ $status -eq 0 ] || fail "the installed pillwerk ended with status $status"
grep -q "Runtime Error" "$stage/pillwerk.out" && fail "$(cat "$stage/pillwerk.out")"

[ $failures -eq 0 ] && echo "installation complete"
exit $((failures != 0))
