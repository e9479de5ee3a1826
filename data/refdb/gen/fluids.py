#!/usr/bin/env python3
"""Writes data/refdb/rows_fluids.sql: the Liquid, Gas and Fluids tables.

Every property table is a polyline of temperature (K) against the property in calculation
units, "T\\value\\" pairs in increasing T: liquid density kg/m3, vapour pressure kPa(a),
dynamic viscosity Pa.s and speed of sound m/s along the saturation line (or at atmospheric
pressure for the involatile liquids); gas viscosity Pa.s near atmospheric pressure and, for
condensable gases, the vapour pressure up to the critical point. The gas page reads a gas's
vapour-pressure table backwards to find the saturation temperature, so vapour pressures rise
strictly with temperature.

Where the figures come from (see data/refdb/sources/fluids.md for the full list):
- water, steam and sea water: the IAPWS formulations, evaluated with the Debian package
  python3-iapws (IAPWS-95, IAPWS-97, IAPWS-08, the IAPWS 2008 viscosity); ammonia: the
  Tillner-Roth/Harms-Watzenberg/Baehr equation of state and the Fenghour viscosity from the same
  package; air viscosity: Lemmon & Jacobsen (2004), same package;
- pure organic and inorganic liquids and gases: the DIPPR correlations of Perry's Chemical
  Engineers' Handbook, 8th ed. (Table 2-8 vapour pressure, eq. 101; Table 2-32 liquid density,
  eq. 105; Table 2-312 vapour viscosity, eq. 102) and the VDI Heat Atlas (PPDS) equation for the
  viscosity of saturated liquids;
- liquid speed of sound: Rao's rule (c^(1/3)/rho constant with temperature), its constant fixed
  by one published speed of sound of the liquid;
- petroleum liquids: API/ASTM D1250 thermal expansion, ASTM D341 viscosity-temperature lines,
  AP-42 (chapter 7) vapour-pressure equations, the Batzle & Wang speed of sound of dead oil and
  Riazi-Daubert pseudo-critical constants;
- gas mixtures: Kay's rule pseudo-critical constants and the Herning-Zipperer viscosity rule.

The build never runs this script; its output is committed. Run it with the system Python so
that the iapws package is found:  /usr/bin/python3 data/refdb/gen/fluids.py
"""

import math
import warnings
from decimal import Decimal
from pathlib import Path

from iapws import IAPWS95, SeaWater
from iapws._iapws import _Viscosity
from iapws.ammonia import NH3
from iapws.humidAir import Air as AirEoS

# The iapws package warns through UserWarning when a state lies outside a formulation's range of
# validity: that must stop the generator. Its use of deprecated SciPy names is only noise.
warnings.simplefilter("ignore", DeprecationWarning)
warnings.simplefilter("error", UserWarning)

OUT = Path(__file__).resolve().parent.parent / "rows_fluids.sql"
ZERO_C = 273.15


# ---------------------------------------------------------------------------------------------
# Number formatting and tables
# ---------------------------------------------------------------------------------------------

def num(x, sig=5):
    """x to `sig` significant figures, written as a plain decimal (no exponent)."""
    s = format(Decimal(f"{x:.{sig}g}"), "f")
    if "." in s:
        s = s.rstrip("0").rstrip(".")
    return s


def temp(T):
    """A temperature in K as written in the tables: at most three decimals."""
    s = f"{T:.3f}".rstrip("0").rstrip(".")
    return s


def celsius(*values):
    return [round(t + ZERO_C, 3) for t in values]


def span(lo, hi, step):
    """Temperatures in K from lo to hi degC in steps of `step` degC (both ends included)."""
    out, t = [], lo
    while t < hi - 1e-9:
        out.append(t)
        t += step
    out.append(hi)
    return celsius(*out)


class Table:
    """One property against temperature, rounded as it is stored."""

    def __init__(self, temps, fn, sig=5):
        self.points = [(round(T, 3), float(num(fn(T), sig))) for T in temps]
        for (t0, _), (t1, _) in zip(self.points, self.points[1:]):
            assert t1 > t0, f"temperatures must increase: {t0} {t1}"
        for _, v in self.points:
            assert v > 0, "property values must be positive"

    def text(self):
        return "".join(f"{temp(T)}\\{num(v, 6)}\\" for T, v in self.points)

    def values(self):
        return [v for _, v in self.points]

    def last(self):
        return self.points[-1]


# ---------------------------------------------------------------------------------------------
# Correlations
# ---------------------------------------------------------------------------------------------

def dippr101(c, T):
    """exp(C1 + C2/T + C3 ln T + C4 T^C5): Perry Table 2-8 vapour pressure in Pa."""
    c1, c2, c3, c4, c5 = c
    return math.exp(c1 + c2 / T + c3 * math.log(T) + c4 * T ** c5)


def vp_perry(c):
    return lambda T: dippr101(c, T) / 1000.0  # kPa


def rho_perry105(c, M):
    """Perry Table 2-32 (DIPPR 105): C1 / C2^(1 + (1 - T/C3)^C4), C1 in mol/m3 here."""
    c1, c2, c3, c4 = c

    def rho(T):
        tau = max(0.0, 1.0 - T / c3)
        return c1 / c2 ** (1.0 + tau ** c4) * M / 1000.0

    return rho


def mu_ppds(p):
    """VDI Heat Atlas (PPDS) saturated-liquid viscosity, Pa.s:
    E exp(A x^(1/3) + B x^(4/3)), x = (C - T)/(T - D)."""
    a, b, c, d, e = p

    def mu(T):
        x = (c - T) / (T - d)
        assert x > 0, "outside the range of the PPDS viscosity equation"
        return e * math.exp(a * x ** (1.0 / 3.0) + b * x ** (4.0 / 3.0))

    return mu


def mu_dippr102(c):
    """Perry Table 2-312 (DIPPR 102) low-pressure gas viscosity, Pa.s."""
    c1, c2, c3, c4 = c
    return lambda T: c1 * T ** c2 / (1.0 + c3 / T + c4 / T ** 2)


def rao(rho, t_ref, c_ref):
    """Rao's rule: the molar sound velocity M c^(1/3) / rho does not change with temperature,
    so c(T) = c_ref (rho(T) / rho(T_ref))^3."""
    r_ref = rho(t_ref)
    return lambda T: c_ref * (rho(T) / r_ref) ** 3


def andrade(mu_ref, t_ref, b):
    """ln mu = A + B/T through (t_ref, mu_ref)."""
    return lambda T: mu_ref * math.exp(b * (1.0 / T - 1.0 / t_ref))


def clausius(t1, p1, t2, p2):
    """ln p = A - B/T through two points (kPa)."""
    b = math.log(p2 / p1) / (1.0 / t1 - 1.0 / t2)
    return lambda T: p1 * math.exp(-b * (1.0 / T - 1.0 / t1))


def linear_rho(rho20, slope):
    """Density with a constant slope (kg/m3 per K) from its value at 20 degC."""
    return lambda T: rho20 + slope * (T - (ZERO_C + 20.0))


# Water's vapour pressure (IAPWS auxiliary equation of Wagner & Pruss), kPa. Used for the
# solutions, where the solvent's vapour pressure is wanted slightly outside its liquid range.
def psat_water(T):
    tc, pc = 647.096, 22064.0
    tau = 1.0 - T / tc
    a = (-7.85951783, 1.84408259, -11.7866497, 22.6807411, -15.9618719, 1.80122502)
    s = (a[0] * tau + a[1] * tau ** 1.5 + a[2] * tau ** 3 + a[3] * tau ** 3.5
         + a[4] * tau ** 4 + a[5] * tau ** 7.5)
    return pc * math.exp(tc / T * s)


# ---------------------------------------------------------------------------------------------
# Petroleum liquids
# ---------------------------------------------------------------------------------------------

def rho_api(rho15, k0, k1):
    """API MPMS 11.1 / ASTM D1250 volume correction: rho(T) = rho15 exp(-a dT (1 + 0.8 a dT)),
    a = K0/rho15^2 + K1/rho15, dT from 15 degC."""
    alpha = k0 / rho15 ** 2 + k1 / rho15

    def rho(T):
        dt = T - (ZERO_C + 15.0)
        return rho15 * math.exp(-alpha * dt * (1.0 + 0.8 * alpha * dt))

    return rho


def mu_astm_d341(rho, t1_c, nu1, t2_c, nu2):
    """ASTM D341 viscosity-temperature line log log(nu + 0.7) = A - B log T through two
    kinematic viscosities (cSt); returns the dynamic viscosity in Pa.s."""
    def z(nu):
        return math.log10(math.log10(nu + 0.7))

    l1, l2 = math.log10(t1_c + ZERO_C), math.log10(t2_c + ZERO_C)
    b = (z(nu1) - z(nu2)) / (l2 - l1)
    a = z(nu1) + b * l1

    def mu(T):
        nu = 10 ** (10 ** (a - b * math.log10(T))) - 0.7  # cSt
        return nu * 1e-6 * rho(T)

    return mu


def vp_ap42(a, b):
    """AP-42 chapter 7 vapour-pressure equation ln P = A - B/T, P in psia, T in degR; kPa.
    Residual oil No. 6: A = 10.104, B = 10475."""
    return lambda T: math.exp(a - b / (T * 1.8)) * 6.894757


def vp_ap42_crude(rvp_psi):
    """AP-42 chapter 7 true vapour pressure of crude oil from its Reid vapour pressure."""
    a = 12.82 - 0.9672 * math.log(rvp_psi)
    b = 7261.0 - 1216.0 * math.log(rvp_psi)
    return vp_ap42(a, b)


def sound_batzle_wang(rho15):
    """Batzle & Wang (1992) speed of sound in dead oil at 0.1 MPa, m/s, from its API gravity."""
    api = 141.5 / (rho15 / 999.1) - 131.5
    return lambda T: 15450.0 / math.sqrt(77.1 + api) - 3.7 * (T - ZERO_C) + 4.64 * 0.1


def riazi_daubert(tb, sg):
    """Riazi-Daubert (1980) pseudo-critical temperature (K) and pressure (kPa) of a petroleum
    fraction from its mean boiling point (K) and specific gravity."""
    tb_r = tb * 1.8
    tc = 24.2787 * tb_r ** 0.58848 * sg ** 0.3596 / 1.8
    pc = 3.12281e9 * tb_r ** -2.3125 * sg ** 2.3201 * 6.894757
    return tc, pc


# ---------------------------------------------------------------------------------------------
# Liquids
# ---------------------------------------------------------------------------------------------

LIQUIDS = []


def liquid(name, tc, pc, temps, rho, vp, mu, sound, sound_temps=None):
    tab = dict(
        Name=name,
        CriticalT=tc,
        CriticalP=pc,
        DensityTable=Table(temps, rho),
        VapourPressTable=Table(temps, vp),
        DynViscTable=Table(temps, mu),
        SoundSpeedTable=Table(sound_temps or temps, sound),
    )
    LIQUIDS.append(tab)


def perry_liquid(name, M, tc, pc, vp_c, rho_c, mu_fn, temps, sound_ref):
    """A pure liquid from Perry's DIPPR equations, with its critical constants (K, kPa) from the
    NIST reference equations of state or the CRC Handbook."""
    rho = rho_perry105(rho_c, M)
    liquid(name, tc, pc, temps, rho, vp_perry(vp_c), mu_fn, rao(rho, *sound_ref))


# Water: saturated liquid, IAPWS-95, viscosity IAPWS 2008. The last point is the critical
# point; the speed of sound, which falls towards zero there, ends one kelvin short of it.
def _water():
    temps = [273.16] + celsius(10, 20, 30, 40, 50, 70, 90, 100, 120, 150, 175, 200, 225, 250,
                               275, 300, 325, 350) + [647.096]

    def sat(T):
        return IAPWS95(T=T, x=0)

    def rho(T):
        return 322.0 if T >= 647.096 else sat(T).rho

    def vp(T):
        return 22064.0 if T >= 647.096 else sat(T).P * 1000.0

    def mu(T):
        return _Viscosity(322.0, 647.096) if T >= 647.096 else sat(T).mu

    liquid("Water", 647.096, 22064.0, temps, rho, vp, mu, lambda T: sat(T).w,
           sound_temps=temps[:-1] + [646.15])


# Sea water of reference salinity 35.165 g/kg: density and speed of sound from IAPWS-08 (its
# speed of sound is kept to 40 degC, where the formulation is fitted; above it, pure water's
# speed of sound plus the salt's contribution at 40 degC); viscosity and vapour-pressure
# lowering from Sharqawy, Lienhard & Zubair (2010).
def _sea_water():
    S = 0.03516504  # kg/kg
    temps = span(0, 75, 10)  # IAPWS-08 holds to 80 degC at atmospheric pressure

    def sw(T):
        return SeaWater(T=T, P=0.101325, S=S)

    def rho(T):
        return sw(T).rho

    def vp(T):
        s_gkg = S * 1000.0
        return psat_water(T) / (1.0 + 0.57357 * s_gkg / (1000.0 - s_gkg))

    def mu(T):
        t = T - ZERO_C
        a = 1.541 + 1.998e-2 * t - 9.52e-5 * t * t
        b = 7.974 - 7.561e-2 * t + 4.724e-4 * t * t
        # Pure water's viscosity; 0 degC lies 0.01 K below its triple point.
        return IAPWS95(T=max(T, 273.16), x=0).mu * (1.0 + a * S + b * S * S)

    t_fit = ZERO_C + 40.0
    salt_at_fit = sw(t_fit).w - IAPWS95(T=t_fit, x=0).w

    def sound(T):
        if T <= t_fit + 1e-9:
            return sw(T).w
        return IAPWS95(T=T, x=0).w + salt_at_fit

    liquid("Sea Water", 647.096, 22064.0, temps, rho, vp, mu, sound)


# Ammonia: saturated liquid from the Tillner-Roth/Harms-Watzenberg/Baehr equation of state.
def _ammonia_liquid():
    temps = [195.5] + span(-75, 130, 15)[1:]

    def sat(T):
        return NH3(T=T, x=0)

    liquid("Ammonia", NH3.Tc, NH3.Pc * 1000.0, temps,
           lambda T: sat(T).rho, lambda T: sat(T).P * 1000.0, lambda T: sat(T).mu,
           lambda T: sat(T).w)


def _pure_liquids():
    # Rao's rule reference speeds of sound (K, m/s): Kaye & Laby, Tables of Physical and Chemical
    # Constants, and the CRC Handbook table of the speed of sound in liquids.
    perry_liquid("Methanol", 32.042, 512.6, 8097,
                 (82.718, -6904.5, -8.8622, 7.4664e-06, 2),
                 (2326.7, 0.27073, 512.5, 0.24713),
                 mu_ppds((3.79226, 0.17755, 546.563, 87.845, 0.00000791)),
                 span(-50, 235, 20), (293.15, 1121.0))
    perry_liquid("Ethanol", 46.069, 514.7, 6268,
                 (73.304, -7122.3, -7.1424, 2.8853e-06, 2),
                 (1628.8, 0.27469, 514.0, 0.23178),
                 mu_ppds((6.16832, -0.00125, 740.323, 90.778, 0.00000038)),
                 span(-50, 235, 20), (293.15, 1162.0))
    perry_liquid("Acetone", 58.080, 508.1, 4700,
                 (69.006, -5599.6, -7.0985, 6.2237e-06, 2),
                 (1233.2, 0.25886, 508.2, 0.2913),
                 mu_ppds((1.65496, 0.5733, 610.687, 11.477, 0.00002915)),
                 span(-50, 230, 20), (293.15, 1190.0))
    perry_liquid("Benzene", 78.114, 562.0, 4906,
                 (83.107, -6486.2, -9.2194, 6.9844e-06, 2),
                 (1025.9, 0.26666, 562.05, 0.28394),
                 mu_ppds((2.35743, 2.43122, 760.674, -267.449, 0.00001031)),
                 span(10, 285, 25), (298.15, 1298.0))
    perry_liquid("Toluene", 92.141, 591.75, 4126,
                 (76.945, -6729.8, -8.179, 5.3017e-06, 2),
                 (879.2, 0.27136, 591.75, 0.29241),
                 mu_ppds((2.9548, 0.00003, 1048.107, 137.144, 0.00000397)),
                 span(-50, 315, 25), (298.15, 1306.0))
    # Commercial mixed xylenes, represented by m-xylene, their largest part.
    perry_liquid("Xylene", 106.167, 616.9, 3535,
                 (85.099, -7615.9, -9.3072, 5.5643e-06, 2),
                 (689.02, 0.26086, 617.0, 0.27479),
                 mu_ppds((0.83592, 1.33199, 637.761, -46.156, 0.00006847)),
                 span(-25, 340, 25), (298.15, 1320.0))
    perry_liquid("n-Pentane", 72.151, 469.7, 3368,
                 (78.741, -5420.3, -8.8253, 9.6171e-06, 2),
                 (849.47, 0.26726, 469.7, 0.27789),
                 mu_ppds((2.80331, 0.25074, 474.455, 32.856, 0.00001653)),
                 span(-75, 190, 20), (293.15, 1044.0))
    perry_liquid("n-Hexane", 86.178, 507.8, 3034,
                 (104.65, -6995.5, -12.702, 1.2381e-05, 2),
                 (708.24, 0.26411, 507.6, 0.27537),
                 mu_ppds((0.69508, 0.53665, 704.295, 16.747, 0.00005657)),
                 span(-50, 230, 20), (303.15, 1060.0))
    perry_liquid("n-Heptane", 100.205, 540.1, 2736,
                 (87.829, -6996.4, -9.8802, 7.2099e-06, 2),
                 (612.59, 0.26211, 540.2, 0.28141),
                 mu_ppds((2.96002, 0.24715, 553.942, 62.172, 0.00001424)),
                 span(-50, 265, 25), (293.15, 1160.0))
    perry_liquid("n-Octane", 114.232, 569.3, 2497,
                 (96.084, -7900.2, -11.003, 7.1802e-06, 2),
                 (526.6, 0.25693, 568.7, 0.28571),
                 mu_ppds((2.87088, 0.35483, 577.534, 48.983, 0.00001722)),
                 span(-25, 290, 25), (293.15, 1197.0))
    perry_liquid("Cyclohexane", 84.160, 553.6, 4081,
                 (51.087, -5226.4, -4.2278, 9.7554e-18, 6),
                 (889.98, 0.27376, 553.8, 0.28571),
                 mu_ppds((0.7569, 2.02779, 787.882, -117.742, 0.00003221)),
                 span(10, 275, 25), (293.15, 1280.0))
    # The PPDS viscosity equation of acetic acid and ethylene glycol holds to about 200 degC.
    perry_liquid("Acetic Acid", 60.052, 591.95, 5786,
                 (53.27, -6304.5, -4.2985, 8.8865e-18, 6),
                 (1448.6, 0.25892, 591.95, 0.2529),
                 mu_ppds((1.74793, 1.33728, 482.347, 41.78, 0.00009963)),
                 span(20, 180, 20), (293.15, 1173.0))
    perry_liquid("Ethylene Glycol", 62.068, 719.0, 8100,
                 (84.09, -10411.0, -8.1976, 1.6536e-18, 6),
                 (1315.0, 0.25125, 720.0, 0.21868),
                 mu_ppds((-2.46697, 5.00103, 587.004, 10.679, 0.00132759)),
                 span(-10, 200, 15), (298.15, 1658.0))
    # Liquefied gases, saturated liquid.
    perry_liquid("Propane", 44.097, 369.89, 4251.2,
                 (59.078, -3492.6, -6.0669, 1.0919e-05, 2),
                 (1375.7, 0.27453, 369.83, 0.29359),
                 mu_ppds((2.56344, 0.16137, 372.533, 38.033, 0.00001751)),
                 span(-85, 95, 15), (231.05, 1161.0))
    perry_liquid("n-Butane", 58.123, 425.13, 3796.0,
                 (66.343, -4363.2, -7.046, 9.4509e-06, 2),
                 (1067.7, 0.27188, 425.12, 0.28688),
                 mu_ppds((2.62924, 0.23703, 428.069, 37.093, 0.00001801)),
                 span(-50, 150, 20), (272.65, 1038.0))
    # Isobutane: no measured figure at hand, so it takes n-butane's Rao constant (isomers
    # have the same molar sound velocity); the ratio of molar volumes carries the difference.
    nbutane_rho = rho_perry105((1067.7, 0.27188, 425.12, 0.28688), 58.123)
    rao_c4 = 1038.0 ** (1.0 / 3.0) / nbutane_rho(272.65)
    ic4_rho = rho_perry105((1063.1, 0.27506, 407.8, 0.2758), 58.123)
    ic4_vp = vp_perry((108.43, -5039.9, -15.012, 0.022725, 1))
    liquid("Isobutane", 407.81, 3629.0, span(-50, 130, 15), ic4_rho, ic4_vp,
           mu_ppds((2.79529, 0.37315, 419.63, 28.072, 0.00001567)),
           lambda T: (rao_c4 * ic4_rho(T)) ** 3)
    perry_liquid("Propylene", 42.081, 364.21, 4555,
                 (43.905, -3097.8, -3.4425, 9.9989e-17, 6),
                 (1440.3, 0.26852, 364.85, 0.28775),
                 mu_ppds((1.41868, 0.31808, 772.733, -16.157, 0.00001059)),
                 span(-85, 90, 15), (260.15, 963.0))
    perry_liquid("Chlorine", 70.906, 416.9, 7991,
                 (71.334, -3855.0, -8.5171, 0.012378, 1),
                 (2230.0, 0.27645, 417.15, 0.2926),
                 mu_ppds((0.48281, 1.35353, 439.327, -110.083, 0.00017187)),
                 span(-100, 140, 20), (293.15, 850.0))
    perry_liquid("Carbon Dioxide", 44.010, 304.13, 7377.3,
                 (140.54, -4735.0, -21.268, 0.040909, 1),
                 (2768.0, 0.26212, 304.21, 0.2908),
                 mu_ppds((2.68801, 4.19607, 305.198, -186.836, 0.00002914)),
                 [216.6] + span(-55, 30, 5), (236.15, 839.0))
    perry_liquid("Methane (LNG)", 16.043, 190.56, 4599.2,
                 (39.205, -1324.4, -3.4366, 3.1019e-05, 2),
                 (2921.4, 0.28976, 190.56, 0.28881),
                 mu_ppds((2.31365, 0.66803, 200.211, -19.178, 0.00001039)),
                 [91.0] + span(-180, -85, 10)[1:], (103.15, 1420.0))


# Liquids outside Perry's tables, from handbook figures.
def _other_liquids():
    # Glycerol: density of the Glycerine Producers' Association tables (linear); viscosity
    # PPDS (which holds to about 200 degC); vapour pressure by Clausius-Clapeyron between the normal boiling point (563 K) and
    # the critical point (CRC Handbook, 850 K, 7.6 MPa).
    liquid("Glycerol", 850.0, 7600.0, span(20, 200, 20),
           linear_rho(1261.1, -0.6135), clausius(563.0, 101.325, 850.0, 7600.0),
           mu_ppds((-3.91153, 6.54946, 582.48, 73.885, 0.0079964)),
           rao(linear_rho(1261.1, -0.6135), 298.15, 1904.0))

    # MEA: supplier figures (1016 kg/m3 and 24.1 mPa.s at 20 degC; Andrade slope 3500 K, which
    # gives about 3.2 mPa.s at 80 degC as measured), Antoine equation
    # log10(p/mmHg) = 7.168 - 1408.9/(t + 157.06); critical point from the CRC Handbook.
    mea_rho = linear_rho(1016.0, -0.75)
    liquid("MEA (Monoethanolamine)", 671.0, 8000.0, span(15, 200, 15), mea_rho,
           lambda T: 10 ** (7.168 - 1408.9 / (T - ZERO_C + 157.06)) * 0.133322,
           andrade(0.0241, 293.15, 3500.0), rao(mea_rho, 298.15, 1724.0))

    # Sulphuric acid 98 %: CRC density 1836.1 kg/m3 at 20 degC; viscosity 26.7 mPa.s at
    # 20 degC with an Andrade slope of 2800 K; vapour pressure by Clausius-Clapeyron between
    # the azeotrope's boiling point (338 degC) and the DIPPR critical point of H2SO4 (924 K,
    # 6.4 MPa); speed of sound 1257.6 m/s at 25 degC.
    h2so4_rho = linear_rho(1836.1, -1.0)
    liquid("Sulphuric Acid 98%", 924.0, 6400.0, span(10, 200, 20), h2so4_rho,
           clausius(611.15, 101.325, 924.0, 6400.0), andrade(0.0267, 293.15, 2800.0),
           rao(h2so4_rho, 298.15, 1257.6))

    # Caustic soda 50 %: density 1525.3 kg/m3 at 20 degC falling 0.70 kg/m3 per K (ICT
    # tables); viscosity 78 mPa.s near 20 degC (Andrade slope 4000 K); vapour pressure through
    # 0.20 kPa at 20 degC and the boiling point 145 degC (supplier data); speed of sound about
    # 2600 m/s at 30 degC (ultrasonic concentration analysers' calibration curves). The
    # solvent's critical point is given.
    liquid("Caustic Soda 50%", 647.096, 22064.0, span(15, 140, 15),
           linear_rho(1525.3, -0.70), clausius(293.15, 0.20, 418.15, 101.325),
           andrade(0.078, 293.15, 4000.0), lambda T: 2600.0 - 1.0 * (T - 303.15))

    # Petroleum liquids: density at 15 degC, ASTM D1250 expansion constants (K0, K1), two
    # kinematic viscosities (degC, cSt), vapour pressure, mean boiling point for the
    # pseudo-critical constants. The distillates' vapour pressure runs (Clausius-Clapeyron) from
    # the AP-42 true vapour pressure at 100 degF to 101.325 kPa at the initial boiling point, so
    # that it reaches atmospheric pressure where the fuel starts to boil; the speed of sound
    # (Batzle & Wang) is kept within the temperatures it was fitted to.
    def petroleum(name, temps, rho15, k0, k1, visc, vp, tb):
        rho = rho_api(rho15, k0, k1)
        tc, pc = riazi_daubert(tb, rho15 / 999.1)
        liquid(name, round(tc, 1), float(num(pc, 4)), temps, rho, vp,
               mu_astm_d341(rho, *visc), sound_batzle_wang(rho15))

    t100f = (100.0 - 32.0) / 1.8 + ZERO_C
    psia = 6.894757
    petroleum("Kerosene", span(-40, 200, 20), 800.0, 330.301, 0.0,
              (-20, 3.5, 40, 1.25), clausius(t100f, 0.029 * psia, ZERO_C + 150.0, 101.325),
              478.0)
    petroleum("Diesel (Gas Oil)", span(-10, 250, 20), 840.0, 103.872, 0.2701,
              (40, 3.0, 100, 1.2), clausius(t100f, 0.022 * psia, ZERO_C + 180.0, 101.325),
              540.0)
    petroleum("Heavy Fuel Oil (380 cSt)", span(30, 150, 10), 985.0, 103.872, 0.2701,
              (50, 380.0, 100, 35.0), vp_ap42(10.104, 10475.0), 700.0)
    # Crude: Reid vapour pressure 5 psi (34.5 kPa), a stabilised crude.
    petroleum("Crude Oil (33 API)", span(0, 150, 10), 860.0, 341.0957, 0.0,
              (20, 10.0, 50, 4.5), vp_ap42_crude(5.0), 560.0)


# ---------------------------------------------------------------------------------------------
# Gases
# ---------------------------------------------------------------------------------------------

GASES = []


def gas(name, tc, pc, k, M, visc=None, visc_temps=None, visc_const=None, vp=None, vp_temps=None):
    row = dict(Name=name, CriticalT=tc, CriticalP=pc, SpecificHeatRatio=k, MolarMass=M)
    if visc is not None:
        row["DynViscTable"] = Table(visc_temps, visc, sig=4)
        row["DynViscValue"] = float(num(visc(293.15), 4))
        row["DynViscFlag"] = 1
    else:
        row["DynViscTable"] = None
        row["DynViscValue"] = visc_const
        row["DynViscFlag"] = 0
    if vp is not None:
        row["VapourPressTable"] = Table(vp_temps, vp)
        row["VapourPressFlag"] = 1
    else:
        row["VapourPressTable"] = None
        row["VapourPressFlag"] = 0
    row["VapourPressValue"] = 0.0
    GASES.append(row)


def visc_temps(lo, hi=1000.0):
    """Viscosity table temperatures from lo to hi K on a fixed ladder."""
    ladder = [100, 150, 200, 250, 273.15, 300, 350, 400, 450, 500, 600, 700, 800, 1000, 1200]
    temps = [t for t in ladder if lo <= t <= hi]
    if temps[0] > lo:
        temps.insert(0, lo)
    return temps


def vp_temps(lo, tc, step):
    """Vapour-pressure table temperatures from lo on a grid of `step` K to the critical point."""
    temps = [lo]
    t = math.floor(lo / step) * step + step
    while t < tc - 1e-6:
        if t - temps[-1] > 1.0:
            temps.append(float(t))
        t += step
    if tc - temps[-1] < 1.0:
        temps.pop()
    temps.append(tc)
    return temps


def perry_gas(name, M, k, tc, pc, visc_c, t_visc, vp_c=None, tmin=None, step=10.0):
    """A gas from Perry's DIPPR equations, with its critical constants (K, kPa) from the NIST
    reference equations of state. Condensable gases carry the vapour-pressure table from tmin
    up to the critical point, its last point."""
    visc = mu_dippr102(visc_c)
    if vp_c is None:
        gas(name, tc, pc, k, M, visc=visc, visc_temps=visc_temps(t_visc))
        return
    eq = vp_perry(vp_c)
    gas(name, tc, pc, k, M, visc=visc, visc_temps=visc_temps(t_visc),
        vp=lambda T: pc if T >= tc else eq(T), vp_temps=vp_temps(tmin, tc, step))


# Component viscosities (Perry Table 2-312) used by the mixtures.
VISC = {
    "N2": (6.5592e-07, 0.6081, 54.714, 0.0),
    "O2": (1.101e-06, 0.5634, 96.3, 0.0),
    "H2": (1.797e-07, 0.685, -0.59, 140.0),
    "He": (3.253e-07, 0.7162, -9.6, 107.0),
    "Ar": (9.2121e-07, 0.60529, 83.24, 0.0),
    "Ne": (7.19e-07, 0.6659, 5.3, 0.0),
    "CO2": (2.148e-06, 0.46, 290.0, 0.0),
    "CO": (1.1127e-06, 0.5338, 94.7, 0.0),
    "CH4": (5.2546e-07, 0.59006, 105.67, 0.0),
    "C2H6": (2.5906e-07, 0.67988, 98.902, 0.0),
    "C3H8": (4.9054e-08, 0.90125, 0.0, 0.0),
    "nC4": (3.4387e-08, 0.94604, 0.0, 0.0),
    "iC4": (1.0871e-07, 0.78135, 70.639, 0.0),
    "C2H4": (2.0789e-06, 0.4163, 352.7, 0.0),
    "C3H6": (7.3919e-07, 0.5423, 263.73, 0.0),
    "C2H2": (1.2025e-06, 0.4952, 291.4, 0.0),
    "Cl2": (2.6e-07, 0.7423, 98.3, 0.0),
    "H2S": (3.9314e-08, 1.0134, 0.0, 0.0),
    "SO2": (6.863e-07, 0.6112, 217.0, 0.0),
    "N2O": (2.115e-06, 0.4642, 305.7, 0.0),
    "HCl": (4.924e-07, 0.6702, 157.7, 0.0),
    "H2O": (1.7096e-08, 1.1146, 0.0, 0.0),
}

# Molar mass (kg/kmol), critical temperature (K) and pressure (kPa) of mixture components.
COMPONENT = {
    "N2": (28.013, 126.19, 3395.8),
    "O2": (31.999, 154.58, 5043.0),
    "H2": (2.016, 33.145, 1296.4),
    "CO2": (44.010, 304.13, 7377.3),
    "CH4": (16.043, 190.56, 4599.2),
    "C2H6": (30.069, 305.32, 4872.2),
    "C3H8": (44.097, 369.89, 4251.2),
    "nC4": (58.123, 425.13, 3796.0),
    "iC4": (58.123, 407.81, 3629.0),
    "C2H4": (28.054, 282.35, 5041.8),
    "H2O": (18.015, 647.096, 22064.0),
}

# Ideal-gas molar heat capacity at 25 degC, J/(mol K) (JANAF / API tables), for the mixtures'
# ratio of specific heats.
CP25 = {"N2": 29.12, "O2": 29.38, "H2": 28.84, "CO2": 37.12, "CH4": 35.69, "C2H6": 52.49,
        "C3H8": 73.60, "nC4": 98.49, "iC4": 96.82, "C2H4": 42.90, "H2O": 33.58}


def mixture(name, y):
    """A gas mixture of mole fractions y: Kay's rule critical constants, molar mass, k from the
    ideal-gas heat capacities at 25 degC, and the Herning-Zipperer viscosity rule."""
    assert abs(sum(y.values()) - 1.0) < 1e-9
    M = sum(f * COMPONENT[c][0] for c, f in y.items())
    tc = sum(f * COMPONENT[c][1] for c, f in y.items())
    pc = sum(f * COMPONENT[c][2] for c, f in y.items())
    cp = sum(f * CP25[c] for c, f in y.items())
    k = cp / (cp - 8.314462618)
    mus = {c: mu_dippr102(VISC[c]) for c in y}

    def visc(T):
        num_ = sum(f * mus[c](T) * math.sqrt(COMPONENT[c][0]) for c, f in y.items())
        den = sum(f * math.sqrt(COMPONENT[c][0]) for c, f in y.items())
        return num_ / den

    gas(name, round(tc, 1), round(pc, 0), round(k, 2), round(M, 2), visc=visc,
        visc_temps=visc_temps(200.0))


def _gases():
    # Steam: IAPWS-95 with the IAPWS 2008 viscosity. Viscosity at atmospheric pressure, or of
    # the saturated vapour where that pressure would condense it; vapour pressure every 5 degC
    # so that saturation temperatures read back from it are good to a few hundredths of a K.
    def steam_mu(T):
        if T < 373.124:
            return IAPWS95(T=T, x=1).mu
        return IAPWS95(T=T, P=0.101325).mu

    def steam_vp(T):
        return 22064.0 if T >= 647.096 else IAPWS95(T=T, x=0).P * 1000.0

    steam_vp_temps = [273.16] + span(5, 370, 5) + [647.096]
    gas("Steam", 647.096, 22064.0, 1.33, 18.015, visc=steam_mu,
        visc_temps=[273.16] + celsius(25, 50, 75, 100, 125, 150, 200, 250, 300, 350, 400, 500,
                                      600, 700, 800),
        vp=steam_vp, vp_temps=steam_vp_temps)

    # Air: Lemmon & Jacobsen (2004) viscosity at atmospheric pressure; critical point is the
    # maxcondentherm of Lemmon's air equation of state.
    gas("Air", 132.63, 3786.0, 1.4, 28.96,
        visc=lambda T: AirEoS(T=T, P=0.101325).mu, visc_temps=visc_temps(100.0, 1200.0))

    # Nitrogen keeps a single viscosity (20 degC) for every temperature.
    gas("Nitrogen", 126.19, 3395.8, 1.4, 28.013, visc_const=0.0000176)

    # Permanent gases (NIST critical constants).
    perry_gas("Oxygen", 31.999, 1.4, 154.58, 5043.0, VISC["O2"], 100.0)
    perry_gas("Hydrogen", 2.016, 1.41, 33.145, 1296.4, VISC["H2"], 100.0)
    perry_gas("Helium", 4.0026, 1.66, 5.1953, 227.6, VISC["He"], 100.0)
    perry_gas("Argon", 39.948, 1.67, 150.69, 4863.0, VISC["Ar"], 100.0)
    perry_gas("Neon", 20.180, 1.64, 44.49, 2679.0, VISC["Ne"], 100.0)
    perry_gas("Carbon Monoxide", 28.010, 1.4, 132.86, 3494.0, VISC["CO"], 100.0)

    # Condensable gases: vapour pressure from the triple point (or a few kPa) to the critical
    # point.
    perry_gas("Carbon Dioxide", 44.010, 1.30, 304.13, 7377.3, VISC["CO2"], 200.0,
              (140.54, -4735.0, -21.268, 0.040909, 1), 216.58, 5.0)
    perry_gas("Methane", 16.043, 1.32, 190.56, 4599.2, VISC["CH4"], 150.0,
              (39.205, -1324.4, -3.4366, 3.1019e-05, 2), 90.69, 10.0)
    perry_gas("Ethane", 30.069, 1.22, 305.32, 4872.2, VISC["C2H6"], 200.0,
              (51.857, -2598.7, -5.1283, 1.4913e-05, 2), 130.0, 10.0)
    perry_gas("Propane", 44.097, 1.15, 369.89, 4251.2, VISC["C3H8"], 250.0,
              (59.078, -3492.6, -6.0669, 1.0919e-05, 2), 170.0, 10.0)
    perry_gas("n-Butane", 58.123, 1.11, 425.13, 3796.0, VISC["nC4"], 273.15,
              (66.343, -4363.2, -7.046, 9.4509e-06, 2), 200.0, 10.0)
    perry_gas("Isobutane", 58.123, 1.11, 407.81, 3629.0, VISC["iC4"], 273.15,
              (108.43, -5039.9, -15.012, 0.022725, 1), 190.0, 10.0)
    perry_gas("Ethylene", 28.054, 1.22, 282.35, 5041.8, VISC["C2H4"], 200.0,
              (53.963, -2443.0, -5.5643, 1.9079e-05, 2), 120.0, 10.0)
    perry_gas("Propylene", 42.081, 1.14, 364.21, 4555.0, VISC["C3H6"], 250.0,
              (43.905, -3097.8, -3.4425, 9.9989e-17, 6), 160.0, 10.0)
    perry_gas("Acetylene", 26.038, 1.26, 308.3, 6138.0, VISC["C2H2"], 200.0,
              (39.63, -2552.2, -2.78, 2.393e-16, 6), 192.4, 10.0)
    perry_gas("Chlorine", 70.906, 1.33, 416.9, 7991.0, VISC["Cl2"], 250.0,
              (71.334, -3855.0, -8.5171, 0.012378, 1), 172.12, 15.0)
    perry_gas("Hydrogen Sulphide", 34.081, 1.32, 373.1, 9000.0, VISC["H2S"], 250.0,
              (85.584, -3839.9, -11.199, 0.018848, 1), 187.68, 10.0)
    perry_gas("Sulphur Dioxide", 64.064, 1.26, 430.64, 7886.0, VISC["SO2"], 273.15,
              (47.365, -4084.5, -3.6469, 1.799e-17, 6), 197.67, 15.0)
    perry_gas("Nitrous Oxide", 44.013, 1.31, 309.52, 7245.0, VISC["N2O"], 200.0,
              (96.512, -4045.0, -12.277, 2.886e-05, 2), 182.3, 10.0)
    perry_gas("Hydrogen Chloride", 36.461, 1.41, 324.68, 8310.0, VISC["HCl"], 200.0,
              (104.27, -3731.2, -15.047, 0.03134, 1), 158.97, 10.0)

    # Ammonia: saturation line from the Tillner-Roth equation of state; viscosity Perry's.
    gas("Ammonia", NH3.Tc, NH3.Pc * 1000.0, 1.32, 17.031,
        visc=mu_dippr102((4.1855e-08, 0.9806, 30.8, 0.0)), visc_temps=visc_temps(200.0),
        vp=lambda T: NH3.Pc * 1000.0 if T >= NH3.Tc else NH3(T=T, x=0).P * 1000.0,
        vp_temps=vp_temps(195.5, NH3.Tc, 10.0))

    # Typical mixtures (mole fractions).
    mixture("Natural Gas (typical)", {"CH4": 0.90, "C2H6": 0.05, "C3H8": 0.02, "nC4": 0.005,
                                      "iC4": 0.005, "N2": 0.01, "CO2": 0.01})
    mixture("Flue Gas (typical)", {"N2": 0.715, "O2": 0.025, "CO2": 0.085, "H2O": 0.175})
    mixture("Refinery Fuel Gas (typical)", {"H2": 0.30, "CH4": 0.40, "C2H6": 0.15,
                                            "C2H4": 0.05, "C3H8": 0.06, "N2": 0.04})


# ---------------------------------------------------------------------------------------------
# Checks and output
# ---------------------------------------------------------------------------------------------

def check_liquid(row):
    rho = row["DensityTable"].values()
    assert all(b < a for a, b in zip(rho, rho[1:])), f"{row['Name']}: density must fall"
    vp = row["VapourPressTable"]
    assert all(b > a for a, b in zip(vp.values(), vp.values()[1:])), row["Name"]
    assert vp.last()[0] <= row["CriticalT"] and vp.last()[1] <= row["CriticalP"], row["Name"]
    mu = row["DynViscTable"].values()
    assert all(b < a for a, b in zip(mu, mu[1:])), f"{row['Name']}: viscosity must fall"
    n = len(row["DensityTable"].points)
    assert 8 <= n <= 20, f"{row['Name']}: {n} points"


def check_gas(row):
    assert 1.0 < row["SpecificHeatRatio"] < 1.7, row["Name"]
    if row["VapourPressFlag"]:
        vp = row["VapourPressTable"]
        assert all(b > a for a, b in zip(vp.values(), vp.values()[1:])), row["Name"]
        assert vp.last()[0] <= row["CriticalT"] and vp.last()[1] <= row["CriticalP"], row["Name"]
    if row["DynViscFlag"]:
        mu = row["DynViscTable"].values()
        assert all(b > a for a, b in zip(mu, mu[1:])), f"{row['Name']}: gas viscosity rises"


def sql_text(s):
    return "NULL" if s is None else "'" + s.replace("'", "''") + "'"


def sql_real(x, sig=6):
    return num(x, sig)


def sort_key(row):
    # The pages list fluids "order by Name": SQLite's binary collation, so sort by bytes.
    return row["Name"].encode("utf-8")


def main():
    _water()
    _sea_water()
    _ammonia_liquid()
    _pure_liquids()
    _other_liquids()
    _gases()

    liquids = sorted(LIQUIDS, key=sort_key)
    gases = sorted(GASES, key=sort_key)
    for row in liquids:
        check_liquid(row)
    for row in gases:
        check_gas(row)
    assert len({r["Name"] for r in liquids}) == len(liquids)
    assert len({r["Name"] for r in gases}) == len(gases)

    out = [
        "-- Generated by data/refdb/gen/fluids.py; edit the generator, not this file.",
        "--",
        "-- Liquids and gases. Property tables are polylines of temperature in K against the",
        "-- property in calculation units, every number followed by \"\\\": density kg/m3,",
        "-- dynamic viscosity Pa.s, vapour pressure kPa(a), speed of sound m/s. Liquids along",
        "-- the saturation line (or at atmospheric pressure where they hardly evaporate); gas",
        "-- viscosities near atmospheric pressure; gas vapour pressures up to the critical point.",
        "-- Sources per fluid in data/refdb/sources/fluids.md.",
        "",
        "INSERT INTO Liquid (ID, Name, CriticalT, CriticalP, DynViscTable, VapourPressTable, "
        "DensityTable, SoundSpeedTable) VALUES",
    ]
    rows = []
    for i, r in enumerate(liquids, 1):
        rows.append(
            f"  ({i}, {sql_text(r['Name'])}, {sql_real(r['CriticalT'])}, "
            f"{sql_real(r['CriticalP'])},\n"
            f"   {sql_text(r['DynViscTable'].text())},\n"
            f"   {sql_text(r['VapourPressTable'].text())},\n"
            f"   {sql_text(r['DensityTable'].text())},\n"
            f"   {sql_text(r['SoundSpeedTable'].text())})")
    out.append(",\n".join(rows) + ";")
    out.append("")
    out.append("INSERT INTO Gas (ID, Name, CriticalT, CriticalP, SpecificHeatRatio, MolarMass,\n"
               "                 DynViscValue, DynViscFlag, DynViscTable, VapourPressValue, "
               "VapourPressFlag, VapourPressTable) VALUES")
    rows = []
    for i, r in enumerate(gases, 1):
        visc_table = r["DynViscTable"].text() if r["DynViscTable"] else None
        vp_table = r["VapourPressTable"].text() if r["VapourPressTable"] else None
        rows.append(
            f"  ({i}, {sql_text(r['Name'])}, {sql_real(r['CriticalT'])}, "
            f"{sql_real(r['CriticalP'])}, {sql_real(r['SpecificHeatRatio'])}, "
            f"{sql_real(r['MolarMass'])},\n"
            f"   {num(r['DynViscValue'], 4)}, {r['DynViscFlag']}, {sql_text(visc_table)},\n"
            f"   {num(r['VapourPressValue'])}, {r['VapourPressFlag']}, {sql_text(vp_table)})")
    out.append(",\n".join(rows) + ";")
    out.append("")

    names = sorted({r["Name"] for r in liquids} | {r["Name"] for r in gases},
                   key=lambda s: s.encode("utf-8"))
    out.append("INSERT INTO Fluids (ID, Display) VALUES")
    out.append(",\n".join(f"  ({i}, {sql_text(n)})" for i, n in enumerate(names, 1)) + ";")
    out.append("")
    OUT.write_text("\n".join(out), encoding="utf-8")
    print(f"wrote {OUT}: {len(liquids)} liquids, {len(gases)} gases, {len(names)} fluids")


if __name__ == "__main__":
    main()
