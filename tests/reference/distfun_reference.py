#!/usr/bin/env python3
"""Reference table for tests/companion/KQDistFun_test.cpp, which reads distfun_reference.out.

Every expected value is computed at 50 significant digits with mpmath 1.3.0 from the exact binary
value of the double arguments: densities from their closed forms, distribution functions from the
regularised incomplete gamma and beta functions, quantiles by solving cdf(q) = p with findroot, the
non-central t density from its 1F1 closed form (checked against a quadrature of its definition),
hypergeometric probabilities as exact fractions of binomial coefficients. R 4.2.2 (dnorm, pt, qbeta,
lbeta, ...) agrees with every value to 1e-15 or better except dbeta(0.5, 40, 60) (3.7e-15),
qt(0.001, 2.5) (2.5e-15) and pt(-30, 10) (1.2e-15).
Run: python3 tests/reference/distfun_reference.py > tests/reference/distfun_reference.out; the first
line of the .out file names the versions.
"""
from fractions import Fraction
from math import comb

import mpmath as mp

mp.mp.dps = 50
M = mp.mpf


def t_cdf(x, n):
    tail = mp.betainc(n / 2, M(1) / 2, 0, n / (n + x * x), regularized=True) / 2
    return tail if x < 0 else 1 - tail


def chi_cdf(x, k): return mp.gammainc(k / 2, 0, x / 2, regularized=True)
def gamma_cdf(x, a, r): return mp.gammainc(a, 0, r * x, regularized=True)
def beta_cdf(x, a, b): return mp.betainc(a, b, 0, x, regularized=True)
def normal_cdf(x, m, s): return mp.ncdf(x, m, s)


def quantile(cdf, p, *par, start):
    return mp.findroot(lambda x: cdf(x, *par) - p, M(start))


def nct_pdf(x, n, mu):
    # Closed form with Kummer's function (Johnson, Kotz and Balakrishnan).
    z = mu * mu * x * x / (2 * (n + x * x))
    front = n ** (n / 2) * mp.gamma(n + 1) * mp.exp(-mu * mu / 2) / (2 ** n * (n + x * x) ** (n / 2) * mp.gamma(n / 2))
    series = (mp.sqrt(2) * mu * x / (n + x * x) * mp.hyp1f1(n / 2 + 1, M(3) / 2, z) / mp.gamma((n + 1) / 2)
              + mp.hyp1f1((n + 1) / 2, M(1) / 2, z) / (mp.sqrt(n + x * x) * mp.gamma(n / 2 + 1)))
    value = front * series
    # The definition: T = (Z + mu) / sqrt(V / n), V chi-square with n degrees of freedom.
    check = mp.quad(lambda v: mp.npdf(x * mp.sqrt(v / n) - mu) * mp.sqrt(v / n)
                    * v ** (n / 2 - 1) * mp.exp(-v / 2) / (2 ** (n / 2) * mp.gamma(n / 2)), [0, n, 4 * n, mp.inf])
    assert abs(value / check - 1) < M(10) ** -25
    return value


def hyper_pdf(x, pop, succ, draws):
    return Fraction(comb(succ, x) * comb(pop - succ, draws - x), comb(pop, draws))


def hyper_cdf(x, pop, succ, draws):
    return sum(hyper_pdf(k, pop, succ, draws) for k in range(max(0, draws + succ - pop), x + 1))


CASES = {
    "PdfNormal": ([(0.5, 0, 1), (-3, 1, 2), (37, 0, 1), (1e-3, 1e-3, 1e-6)], lambda x, m, s: mp.npdf(x, m, s)),
    "CdfNormal": ([(1.96, 0, 1), (-10, 0, 1), (3, 1, 0.5), (-37.5, 0, 1)], normal_cdf),
    "IdfNorm": ([(0.975, 0, 1), (1e-10, 5, 2), (0.5, 3, 1), (1 - 2.0 ** -30, 0, 1)],
                lambda p, m, s: quantile(normal_cdf, p, m, s, start=m + s * mp.sqrt(2) * mp.erfinv(2 * p - 1))),
    "PdfT": ([(2.5, 7), (0, 1), (-1.3, 0.5), (3, 1e6), (40, 3)],
             lambda x, n: mp.gamma((n + 1) / 2) / (mp.sqrt(n * mp.pi) * mp.gamma(n / 2)) * (1 + x * x / n) ** (-(n + 1) / 2)),
    "CdfT": ([(2.5, 7), (-4, 3.3), (1.2, 1), (-30, 10), (0.3, 250)], t_cdf),
    "IdfT": ([(0.975, 10, 2.2), (0.001, 2.5, -13.8), (0.9, 1, 3.1), (0.6, 1e5, 0.25)],
             lambda p, n, s: quantile(t_cdf, p, n, start=s)),
    # two-sided significance 2 P(T > |t|), far into the tail where 1 - cdf would cancel
    "TwoSidedSigT": ([(-1e6, 1), (3e7, 1), (-0.3, 2), (40, 2), (3e7, 2), (2.5, 7), (-4, 3.3)],
                     lambda t, n: 2 * t_cdf(-abs(t), n)),
    "NonCentralPdfT": ([(1.5, 10, 1), (-0.5, 4, 2), (3, 20, -1), (8, 30, 6), (0.2, 2.5, 0.3)], nct_pdf),
    "CdfChi": ([(3.84, 1), (10, 4), (0.01, 20), (150, 100), (1e-6, 0.5)], chi_cdf),
    "IdfChi": ([(0.95, 1, 3.8), (0.025, 2, 0.05), (0.5, 7.5, 6.8), (0.999, 300, 381)],
               lambda p, k, s: quantile(chi_cdf, p, k, start=s)),
    "CdfF": ([(3, 2, 10), (0.5, 5, 7), (10, 1, 1), (1.1, 200, 3000)],
             lambda x, a, b: mp.betainc(a / 2, b / 2, 0, a * x / (a * x + b), regularized=True)),
    "PdfGamma": ([(1.2, 2, 3), (0.5, 0.5, 0.5), (1e-3, 0.3, 1), (250, 200, 0.8)],
                 lambda x, a, r: r ** a * x ** (a - 1) * mp.exp(-r * x) / mp.gamma(a)),
    "CdfGamma": ([(1.2, 2, 3), (4, 10, 2), (1e-3, 0.3, 1), (3, 0.5, 0.5)], gamma_cdf),
    "IdfGam": ([(0.025, 0.5, 0.5, 1e-3), (0.975, 12, 3, 6.6), (0.5, 1, 2, 0.35), (1e-4, 50, 0.1, 279)],
               lambda p, a, r, s: quantile(gamma_cdf, p, a, r, start=s)),
    "PdfBeta": ([(0.3, 2, 5), (0.999, 0.5, 0.5), (0.5, 40, 60)],
                lambda x, a, b: x ** (a - 1) * (1 - x) ** (b - 1) / mp.beta(a, b)),
    "CdfBeta": ([(0.3, 2, 5), (0.999, 0.5, 0.5), (0.45, 40, 60)], beta_cdf),
    "IdfBeta": ([(0.025, 7, 4, 0.35), (0.975, 0.5, 30, 0.08), (1e-5, 100, 200, 0.225), (0.5, 1, 1, 0.5)],
                lambda p, a, b, s: quantile(beta_cdf, p, a, b, start=s)),
    "qorvdnlgam": ([(0.5,), (1e-8,), (100,), (1e6,), (-2.5,), (3,), (1.5e300,)], lambda x: mp.re(mp.loggamma(x)) if x > 0 else mp.log(abs(mp.gamma(x)))),
    "LogBeta": ([(0.5, 0.5), (1e10, 1), (1e6, 1e6), (3, 1e8), (20, 30), (2, 3), (1e-300, 5), (9.5, 1e4),
                 # either side of the switch to Stirling corrections at 10, for the smaller and the larger shape
                 (9.999999, 10.5), (10.0, 10.5), (10.000001, 10.5), (2.5, 9.999999), (2.5, 10.0), (2.5, 10.000001)],
                lambda a, b: mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b)),
    "Log1p": ([(1e-10,), (-0.5,), (3,)], mp.log1p),
    "Expm1": ([(1e-10,), (-0.5,), (3,)], mp.expm1),
    "PdfHyper": ([(3, 20, 7, 10), (0, 50, 5, 5), (1, 12, 5, 6), (500, 10000, 1000, 5000), (2, 9, 4, 8)], hyper_pdf),
    "CDFHyper": ([(3, 20, 7, 10), (0, 50, 5, 5), (1, 12, 5, 6), (500, 10000, 1000, 5000), (2, 9, 4, 8)], hyper_cdf),
}
# Arguments that only seed the root search are not passed to the function under test.
SEED_ARGUMENT = {"IdfT", "IdfChi", "IdfGam", "IdfBeta"}


def main():
    import platform
    print(f"# {__file__.split('/')[-1]}: Python {platform.python_version()}, mpmath %s" % __import__("mpmath").__version__)
    for name, (cases, function) in CASES.items():
        for args in cases:
            value = function(*[M(float(a)) if not name.endswith("Hyper") else a for a in args])
            shown = args[:-1] if name in SEED_ARGUMENT else args
            padded = ", ".join(repr(float(a)) for a in shown) + ", 0.0" * (4 - len(shown))
            print(f'    {{"{name}", {{{padded}}}, {mp.nstr(M(value.numerator) / value.denominator if isinstance(value, Fraction) else value, 20)}}},')


if __name__ == "__main__":
    main()
