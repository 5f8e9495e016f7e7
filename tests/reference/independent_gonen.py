#!/usr/bin/env python3
"""Gonen BF01 with lambda != 0 at 50 significant digits, for tests/twosample/BSN2SampleIndBayesFactor_test.cpp.

BF01 = sqrt(k) t_pdf(t, nu) / nct_pdf(t / sqrt(k), nu, lambda sqrt(h / k)), k = h sigma^2 + 1, with the
non-central t density from its Kummer-function closed form, checked against a quadrature of its
definition. The t values are those of tests/reference/independent_twosample.out (R's t.test with the
sign changed). R 4.2.2's dt(x, df, ncp), used in independent_twosample.R, agrees with these to 1e-11
(mpg) and 3e-10 (wt, where the non-central density sits far in its lower tail).
Run: python3 tests/reference/independent_gonen.py
"""
import mpmath as mp

mp.mp.dps = 50
M = mp.mpf


def t_pdf(x, n):
    return mp.gamma((n + 1) / 2) / (mp.sqrt(n * mp.pi) * mp.gamma(n / 2)) * (1 + x * x / n) ** (-(n + 1) / 2)


def nct_pdf(x, n, mu):
    z = mu * mu * x * x / (2 * (n + x * x))
    front = n ** (n / 2) * mp.gamma(n + 1) * mp.exp(-mu * mu / 2) / (2 ** n * (n + x * x) ** (n / 2) * mp.gamma(n / 2))
    series = (mp.sqrt(2) * mu * x / (n + x * x) * mp.hyp1f1(n / 2 + 1, M(3) / 2, z) / mp.gamma((n + 1) / 2)
              + mp.hyp1f1((n + 1) / 2, M(1) / 2, z) / (mp.sqrt(n + x * x) * mp.gamma(n / 2 + 1)))
    value = front * series
    check = mp.quad(lambda v: mp.npdf(x * mp.sqrt(v / n) - mu) * mp.sqrt(v / n)
                    * v ** (n / 2 - 1) * mp.exp(-v / 2) / (2 ** (n / 2) * mp.gamma(n / 2)), [0, n, 4 * n, mp.inf])
    assert abs(value / check - 1) < M(10) ** -25
    return value


def gonen(t, h, nu, lam, sigma2):
    t, h, nu, lam, sigma2 = M(t), M(h), M(nu), M(lam), M(sigma2)
    k = h * sigma2 + 1
    return mp.sqrt(k) * t_pdf(t, nu) / nct_pdf(t / mp.sqrt(k), nu, lam * mp.sqrt(h) / mp.sqrt(k))


h = M(19) * 13 / 32
for label, t in (("mpg", 4.1061269831006904), ("wt", -5.2576030443942194)):
    for lam, sigma2 in ((0.5, 0.25), (-0.3, 2.0)):
        print(f"{label} lambda {lam} sigma2 {sigma2}: {mp.nstr(gonen(t, h, 30, lam, sigma2), 17)}")
print(f"t 2.5 h 6 nu 10 lambda 1e-7 sigma2 1: {mp.nstr(gonen(2.5, 6, 10, 1e-7, 1), 17)}")
