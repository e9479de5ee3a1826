#!/usr/bin/env python3
"""Times the Python library fluids on the liquid condition that BM_LiquidConditionIecNoise sizes:
IEC 60534-2-1, Annex D, example 1 (water at 363 K, 360 m³/h from 680 to 220 kPa(a), FL 0.90,
Fd 0.46, 150 mm valve in 150 mm pipe). Prints the nanoseconds per call, to set beside
quenta-bench, which in the same run also works out the travel, noise, power and warnings.

Needs the Debian package python3-fluids; nothing in the build or the tests depends on it.
Usage: python3 bench/compare_fluids_liquid.py [calls]
"""
import sys
import timeit

from fluids.control_valve import size_control_valve_l


def example1():
    return size_control_valve_l(
        rho=965.4, Psat=70.1e3, Pc=22120e3, mu=3.26e-7 * 965.4, P1=680e3, P2=220e3, Q=360 / 3600.0,
        D1=0.15, D2=0.15, d=0.15, FL=0.9, Fd=0.46)


def main():
    calls = int(sys.argv[1]) if len(sys.argv) > 1 else 200000
    kv = example1()
    # The annex gives Kv 165 m³/h for this condition.
    assert abs(kv - 165) < 1, kv
    best = min(timeit.repeat(example1, number=calls, repeat=5))
    print(f"fluids.size_control_valve_l  Kv {kv:.2f} m3/h  Cv {1.156 * kv:.2f}  {best / calls * 1e9:.0f} ns per call")


if __name__ == "__main__":
    main()
