#!/usr/bin/env python3
"""Writes the hand-made seed inputs of both fuzz targets.

    python3 fuzz/make_seeds.py

The entry-point seeds follow the byte layout of fuzz/call_decoder.hpp: one
ordinary call of every function with scalars, with a vector in each position
that may hold one, a view, a complex vector, and a few errors. The
command-line seeds are statements of the command line's own language. Seeds
are named seed-*; inputs kept from fuzzing runs sit beside them.
"""
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def function_names():
    """The host functions in the order of the library's table (one entry per
    function, as the fuzz target numbers them), read from its rows."""
    with open(os.path.join(HERE, "..", "host", "functions.hpp")) as f:
        names = re.findall(r'^\s*\{"(\w+)", "\w+\(', f.read(), re.MULTILINE)
    return list(dict.fromkeys(names))


FUNCTIONS = function_names()


def number(x):
    return bytes([6]) + struct.pack("<d", x)


def scalar(re, im=0.0):
    imag = bytes([0]) if im == 0.0 else bytes([6]) + number(im)
    return bytes([2]) + number(re) + imag


def vector(values, imag=None, view=None):
    head = (1 if imag is not None else 0) | (8 if view else 0)
    out = bytes([9, head, len(values)])
    if view:
        offset, gap = view
        out += bytes([offset, gap, 0])
    for k, x in enumerate(values):
        out += number(x)
        if imag is not None:
            out += bytes([6]) + number(imag[k])
    return out


def null():
    return bytes([0])


def text():
    return bytes([1])


def call(name, *args, flags=0):
    return bytes([FUNCTIONS.index(name), flags]) + b"".join(args)


def entry_point_seeds():
    xs = [0.25, -0.5, 1.5]
    seeds = {
        "tcheb": call("Tcheb", scalar(3), vector([0.5, 1.0, 2.0])),
        "ucheb-degrees": call("Ucheb", vector([0, 1, 5]), scalar(0.3)),
        "her": call("Her", scalar(5), scalar(0.5)),
        "lag-two-vectors": call("Lag", vector([0, 2, 3]), vector(xs)),
        "leg-complex": call("Leg", scalar(3), vector(xs, imag=[0.0, 0.0, 1.0])),
        "jac": call("Jac", scalar(2), scalar(1), scalar(1), vector(xs)),
        "ber": call("Ber", scalar(0), vector([1.0, 10.0, 77.0])),
        "bei-view": call("Bei", scalar(2), vector(xs, view=(3, 2))),
        "gamma1": call("Gamma", vector([5.0, 0.5, -2.5, 1e-300]), flags=0x20),
        "gamma1-complex": call("Gamma", scalar(-0.5, 1.0), flags=0x20),
        "gamma2": call("Gamma", scalar(0.5), vector([0.0, 1.0, 3.0])),
        "lngamma": call("LnGamma", vector([-7.2, 3.0, 15.5], imag=[0.5, 4.0, 1.0])),
        "igamma": call("Igamma", vector([2.9, 1.0, 100.0]), scalar(20.0)),
        "fhyper": call("Fhyper", scalar(1), scalar(1), scalar(2), vector([0.9, -0.7, 0.3])),
        "fhyper-log-case": call("Fhyper", scalar(1), scalar(1), scalar(3), scalar(0.9999999999999999)),
        "mhyper": call("Mhyper", scalar(1), vector([2.0, -1.5, 3.0]), scalar(-50.0)),
        "ibeta": call("Ibeta", vector([0.3, 0.7, 1e-10]), scalar(2), scalar(3)),
        "error-kind": call("Bei", scalar(1), text()),
        "error-nested": call("Mhyper", text(), bytes([9, 6, 2, 2]) + scalar(1) + scalar(2), scalar(1)),
        "error-mismatch": call("Leg", vector([1, 2, 3]), vector([0.1, 0.2])),
        "error-illegal": call("Ibeta", vector([0.1]), vector([1.0]), scalar(1)),
        "wide-degree": call("Tcheb", scalar(2147483647), scalar(2.0), flags=0x10),
    }
    return seeds


CLI_SEEDS = {
    "vector": 'Tcheb(3, [0.5; 1; 2])\n',
    "variables": 'v := linspace(-1, 1, 5)\nLeg(4, v)\nJac(2, 0.5, -0.5, v)\n',
    "complex": 'Gamma(complex(-0.5, 1))\nLnGamma([1 + 2i; -3.5])\nGamma(2, complex([1; 2], [0; 0]))\n',
    "errors": 'Bei(1, "text")\nFhyper([1; 2], 1, 2, [0.1; 0.2])\nIbeta(1.5, 0, 3)\nGamma(null)\n',
    "nested": 'Mhyper([[1; 2]; 3], 1, 1)\nx := [1, 2; 3, 4]\nBer(0, x)\n',
    "syntax": '(((1)\n[1; 2, 3]\n1e999\nTcheb(1)\n',
    "arithmetic": '-2.5 * (1 - 2i) / 0.0\nIgamma(3, 2) + Mhyper(1, 2, -50)\n',
}


def write(directory, name, data):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, "seed-" + name), "wb") as f:
        f.write(data)


def main():
    for name, data in entry_point_seeds().items():
        write(os.path.join(HERE, "corpus", "fuzz_entry_points"), name, data)
    for name, data in CLI_SEEDS.items():
        write(os.path.join(HERE, "corpus", "fuzz_cli"), name, data.encode())


if __name__ == "__main__":
    main()
