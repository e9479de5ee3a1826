#!/usr/bin/env python3
"""Times the Python library fluids on the gas condition that BM_GasIecExampleCo2 sizes:
carbon dioxide at 433 K, 680 to 310 kPa(a), about 3800 m³/h at reference conditions, an 80 mm
valve between 80 mm pipes. Prints the nanoseconds per call, to set beside quenta-bench, which in
the same run also works out the travel, noise, Mach number, power and warnings.

Needs the Debian package python3-fluids (run it with /usr/bin/python3); nothing in the build or
the tests depends on it.
Usage: python3 bench/compare_fluids_gas.py [calls]
"""
import sys
import timeit

from fluids.control_valve import size_control_valve_g


def co2():
    return size_control_valve_g(
        T=433.0, MW=44.01, mu=1.497e-5, gamma=1.30, Z=0.988, P1=680e3, P2=310e3, Q=3800 / 3600.0,
        D1=0.08, D2=0.08, d=0.08, FL=0.85, Fd=0.42, xT=0.60)


def main():
    calls = int(sys.argv[1]) if len(sys.argv) > 1 else 200000
    kv = co2()
    best = min(timeit.repeat(co2, number=calls, repeat=5))
    print(f"fluids.size_control_valve_g  Kv {kv:.2f} m3/h  {best / calls * 1e9:.0f} ns per call")


if __name__ == "__main__":
    main()
