#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The order in which Tabellone Tombola's computer draws (F6), recomputed from
the seed that the game's minutes reveal. Python 3, standard library only; the
procedure is in the README, "Verifying the computer's draw".

    python3 ordine_estrazione.py SEED              fingerprint and the 90 numbers
    python3 ordine_estrazione.py SEED EVENT...     also checks a game's calls

SEED is the 64 hex digits of the minutes. EVENT, in the order they happened:
c17 the computer drew 17, 17 drawn by hand, -17 17 withdrawn.
"""
import hashlib
import sys


def stream(seed):
    # Block i is SHA-256(seed + i as 4 bytes big-endian); byte after byte.
    i = 0
    while True:
        yield from hashlib.sha256(seed + i.to_bytes(4, "big")).digest()
        i += 1


def order(seed):
    a = list(range(1, 91))
    byte = stream(seed)
    for i in range(89, 0, -1):
        m = i + 1
        limit = 256 - 256 % m
        b = next(byte)
        while b >= limit:  # rejected, so that every j is equally likely
            b = next(byte)
        j = b % m
        a[i], a[j] = a[j], a[i]
    return a


def fingerprint(seed):
    digits = hashlib.sha256(seed).hexdigest()[:16].upper()
    return " ".join(digits[k:k + 4] for k in range(0, 16, 4))


def check(numbers, events):
    # Each computer draw must be the first number of the order not on the
    # board at that moment; a withdrawn number goes back in its place.
    board = set()
    computer = 0
    for position, event in enumerate(events, 1):
        kind = event[:1] if event[:1] in ("c", "-") else ""
        n = event[len(kind):]
        if not n.isdigit() or not 1 <= int(n) <= 90:
            sys.exit("non è un numero da 1 a 90: " + event)
        n = int(n)
        if kind == "-":
            board.discard(n)
            continue
        if kind == "c":
            expected = next(x for x in numbers if x not in board)
            if n != expected:
                print(f"NO: alla voce {position} ({event}) il computer doveva estrarre {expected}")
                return False
            computer += 1
        board.add(n)
    print(f"SÌ: le {computer} estrazioni del computer seguono l'ordine")
    return True


if __name__ == "__main__":
    try:
        seed = bytes.fromhex(sys.argv[1])
    except (IndexError, ValueError):
        seed = b""
    if len(seed) != 32:
        sys.exit(__doc__)
    numbers = order(seed)
    print("Impronta:", fingerprint(seed))
    print("Ordine:", " ".join(str(n) for n in numbers))
    if len(sys.argv) > 2 and not check(numbers, sys.argv[2:]):
        sys.exit(1)
