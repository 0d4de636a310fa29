#!/usr/bin/env bash
# Compile speed of kqc: generates a console project of 2 000 lines of
# Kestlang (classes with properties and virtual methods, a module, loops,
# Select Case, strings, Try/Catch/Finally, arrays) in ten source files,
# compiles it with kqc and assembles kqc's output with `as --32` as the
# baseline of the same run. Each step runs RUNS times (5 unless set); the
# best time of each counts. Prints both times and the ratio kqc / as.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
kqc=$build/host/kqc/kqc
manifest=$build/runtime.manifest
runs=${RUNS:-5}
[ -x "$kqc" ] && [ -f "$manifest" ] || { echo "kqc-speed: kqc is not built (scripts/build)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One unit: a class of 40 lines; five units per file.
unit() {
    local n=$1
    cat <<KST
Class Item$n Inherits Base
  Property Name As String
  Property Amount As Double
  Property Count As Integer
  Function Describe() As String
    Dim text As String = Name + ": " + Format(Amount, "0.00")
    If Count > 10 Then
      text = text + " (many)"
    ElseIf Count = 0 Then
      text = text + " (none)"
    End If
    Return text
  End Function
  Function Total(rate As Double) As Double
    Dim sum As Double
    For i As Integer = 1 To Count
      sum = sum + Amount * rate / i
    Next
    Return sum
  End Function
  Function Grade() As String
    Select Case Count Mod 4
    Case 0
      Return "A"
    Case 1, 2
      Return "B"
    Case Else
      Return "C" + Str($n)
    End Select
  End Function
  Function Safe(values() As Integer, at As Integer) As Integer
    Try
      Return values(at) * $n
    Catch e As OutOfBoundsException
      Return -1
    Finally
      Count = Count + 1
    End Try
  End Function
End Class
KST
}

{
    echo "name = speed"
    echo "kind = console"
    echo "application = App"
} >"$work/speed.kqp"
cat >"$work/Main.kst" <<'KST'
Class Base
  Function Describe() As String
    Return "base"
  End Function
End Class

Class App Inherits ConsoleApplication
  On Run(args() As String) As Integer
    Dim item As New Item1
    item.Name = "x"
    Print item.Describe
    Return 0
  End On
End Class
KST
echo "source = $work/Main.kst" >>"$work/speed.kqp"
for file in $(seq 1 10); do
    for u in $(seq 1 5); do unit $(((file - 1) * 5 + u)); done >"$work/Unit$file.kst"
    echo "source = $work/Unit$file.kst" >>"$work/speed.kqp"
done
lines=$(cat "$work"/*.kst | wc -l)

# Best wall time of $runs runs of the command, in milliseconds.
best() {
    local fastest=
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        local ms=$(((end - start) / 1000000))
        if [ -z "$fastest" ] || [ "$ms" -lt "$fastest" ]; then fastest=$ms; fi
    done
    echo "$fastest"
}

# A first compile shows any error (and ends the script on one).
"$kqc" --manifest "$manifest" -o "$work/speed.s" "$work/speed.kqp"
compile=$(best "$kqc" --manifest "$manifest" -o "$work/speed.s" "$work/speed.kqp")
assemble=$(best as --32 -o "$work/speed.o" "$work/speed.s")
echo "project: $lines lines in 11 files, $(wc -l <"$work/speed.s") lines of assembly"
echo "kqc:      $compile ms"
echo "as --32:  $assemble ms (baseline)"
awk -v k="$compile" -v a="$assemble" \
    'BEGIN { printf "ratio kqc/as: %.2f (target: kqc well under a second)\n", k / (a > 0 ? a : 1) }'
