#!/usr/bin/env python3
"""Reference JZS Bayes factors BF01 (Cauchy prior, scale 1) for tests/kernels/BayesFactorOneSampleTT_test.cpp
at inputs beyond R's integrate(): a million cases, or t values whose L0 underflows.

The g-integral of jzs_onesample.R, scaled by 1/L0, integrated over u = log g in quarter-unit pieces from
-60 to 100 with mpmath quad at 50 significant digits; the same code gives R's 1.0171381108658408 at
n = 20, t = 2. Run: python3 tests/reference/jzs_extremes.py > tests/reference/jzs_extremes.out
"""
import platform

import mpmath as mp

mp.mp.dps = 50


def bf01(n, t):
    n = mp.mpf(n)
    t = mp.mpf(t)
    nu = n - 1
    log_l0 = -(nu + 1) / 2 * mp.log1p(t ** 2 / nu)

    def f(u):
        g = mp.exp(u)
        spread = 1 + n * g
        return mp.exp(-mp.log(spread) / 2 - (nu + 1) / 2 * mp.log1p(t ** 2 / spread / nu)
                      - mp.log(2 * mp.pi) / 2 - mp.mpf(3) / 2 * u - 1 / (2 * g) - log_l0) * g

    return 1 / mp.quad(f, [mp.mpf(x) / 4 for x in range(-240, 401)])


def main():
    print(f"# jzs_extremes.py: Python {platform.python_version()}, mpmath {mp.__version__}")
    for n, t in ((20, 2), (1e6, 3), (10, 1e3), (1e7, 10), (1e7, 0), (1e7, 1e3)):
        print(f"n {n:g} t {t:g} {mp.nstr(bf01(n, t), 20)}")


if __name__ == "__main__":
    main()
